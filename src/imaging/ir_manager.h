// The image-processing state of an open handle: directories, the parameter block, the histogram
// record of the last display mapping, the palette table and the alarm mask.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class ZelIrArith;

inline constexpr uint16_t kVersionWord = 4096;
inline constexpr char kRevisionTime[] = "20171001-08:08";
inline constexpr uint32_t kRevisionTimeField = 16;

class CIRManager {
  public:
    CIRManager();
    virtual ~CIRManager();
    CIRManager(const CIRManager&) = delete;
    CIRManager& operator=(const CIRManager&) = delete;

    // Resets every byte of the block, then writes the initial values for the given frame size.
    static void InitParameterBlock(ZelIrParameterBlock& block, uint16_t width, uint16_t height);
    // Reads "para.ini" in `directory` (the current directory when null) into the block.
    static void LoadParameters(ZelIrParameterBlock& block, const wchar_t* directory);
    // Writes the display settings of the block back to "para.ini" in `directory`.
    static void SaveParameters(const ZelIrParameterBlock& block, const wchar_t* directory);
    // The serial text of the block: at most `limit` characters, ending at the first zero byte.
    // The serial field has no terminator of its own, so past 8 it runs on into the model text.
    static std::wstring SerialText(const ZelIrParameterBlock& block, size_t limit);

    // Loads palette `index` (0..8; anything else counts as 0) into the palette table.
    void LoadPalette(int index);
    // Copies the colours of a caller's 256-entry table; byte 3 of each entry keeps its value.
    int32_t SetUserPalette(const RGBQUAD* table);
    // Loads "mask.raw8" from the data directory when the block asks for a mask.
    void LoadMask();
    // Maps a digit array to an 8-bit image with the current display settings, through the
    // source's arithmetic object (its correction state decides the post-processing).
    int32_t MapToY8(ZelIrArith& arith, bool arithOn, const uint16_t* source, uint8_t* destination,
                    int32_t noFlip, HISTOGRAM_INFO* record);

    ZelIrParameterBlock* ParameterBlock() { return &parameterBlock_; }
    HISTOGRAM_INFO* HistogramRecord() { return histogramRecord_.get(); }
    std::array<RGBQUAD, 256>& PaletteTable() { return paletteTable_; }
    uint8_t* Mask() { return mask_.get(); }

    uint32_t HandleType() const { return handleType_; }
    uint16_t VersionWord() const { return versionWord_; }
    const char* RevisionTime() const { return revisionTime_; }
    const std::wstring& ModuleDirectory() const { return moduleDirectory_; }
    const std::wstring& DataDirectory() const { return dataDirectory_; }

    // Analysis block: an application's opaque bytes, kept with the handle and saved with its
    // combined images.
    static constexpr uint32_t kAnalysisBlockBytes = 10000;
    uint8_t* AnalysisBlock() { return analysisBlock_.get(); }
    uint16_t AnalysisBlockLength() const { return analysisBlockLength_; }
    void SetAnalysisBlockLength(uint16_t length) { analysisBlockLength_ = length; }
    uint8_t analysisBlockImported = 0;

  protected:
    uint32_t handleType_ = 0;
    uint16_t versionWord_ = kVersionWord;
    char revisionTime_[16] = {};
    std::wstring moduleDirectory_;
    std::wstring dataDirectory_;
    ZelIrParameterBlock parameterBlock_{};
    std::unique_ptr<HISTOGRAM_INFO> histogramRecord_;
    std::array<RGBQUAD, 256> paletteTable_{};
    std::unique_ptr<uint8_t[]> mask_;
    std::unique_ptr<uint8_t[]> analysisBlock_{new uint8_t[kAnalysisBlockBytes]()};
    uint16_t analysisBlockLength_ = 0;
};

namespace zelir {
// Directory of the running executable, ending in '/'.
std::wstring ExecutableDirectory();
}  // namespace zelir
