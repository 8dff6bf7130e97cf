// What one arithmetic object holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bad_pixel_repair.h"
#include "digit_histogram.h"
#include "frame_correction.h"
#include "grey_lut.h"
#include "two_point_calibration.h"
#include "working_buffers.h"
#include "zelir_arith.h"

struct ZelIrArith::State {
    // Geometry, data directory and serial text of the last Init.
    int width = 0;
    int height = 0;
    std::string dataDirectory;
    std::string serial;

    bool arithOn = false;
    int arithType = kTypeGainOffset;
    int channel = 0;
    std::array<short, kParaCount> para{};

    zelir::arith::CorrectionTables correction;
    zelir::arith::FixedCorrection fixedCorrection;
    // Pixels found bad by the last calibration, and those of the bad-point image.
    std::vector<std::uint8_t> calibrationBad;
    std::vector<std::uint16_t> badPointImage;
    zelir::arith::BadPixelRepair repair;

    // Reference frames of the two-point calibration; ready once GetLData/GetHData closed them.
    zelir::arith::ReferenceAverage low;
    zelir::arith::ReferenceAverage high;
    bool lowReady = false;
    bool highReady = false;

    zelir::arith::DigitHistogram histogram;
    zelir::arith::GreyLut lut{};
    zelir::arith::WorkingBuffers work;
    // Cuts of the last HistogramStatistics call: the equalising algorithms use the same limits
    // as the display settings ask for.
    long bottomCut = 5;
    long topCut = 5;

    std::size_t Pixels() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};
