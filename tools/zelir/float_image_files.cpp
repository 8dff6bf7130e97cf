#include "float_image_files.h"

#include <tiffio.h>

#include <bit>
#include <cstdio>
#include <memory>

namespace zelir_cli {
namespace {

static_assert(std::endian::native == std::endian::little, "the .npy header says '<f4'");

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Writes through `write` into path + ".tmp", then renames; removes the temporary on failure.
template <typename Write>
bool WriteReplacing(const std::string& path, Write&& write) {
    const std::string temporary = path + ".tmp";
    if (write(temporary) && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

}  // namespace

bool WriteNpy(const std::string& path, std::span<const float> values, uint32_t width,
              uint32_t height) {
    if (values.size() < std::size_t{width} * height) return false;
    std::string header = "{'descr': '<f4', 'fortran_order': False, 'shape': (" +
                         std::to_string(height) + ", " + std::to_string(width) + "), }";
    // Magic (6), version (2), header length (2), header: padded to 64 bytes, ending in '\n'.
    const std::size_t total = (10 + header.size() + 1 + 63) / 64 * 64;
    header.append(total - 10 - header.size() - 1, ' ');
    header += '\n';
    return WriteReplacing(path, [&](const std::string& temporary) {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
        if (!file) return false;
        const unsigned char lead[10] = {0x93,
                                        'N',
                                        'U',
                                        'M',
                                        'P',
                                        'Y',
                                        1,
                                        0,
                                        static_cast<unsigned char>(header.size() & 0xFF),
                                        static_cast<unsigned char>(header.size() >> 8)};
        const std::size_t n = std::size_t{width} * height;
        return std::fwrite(lead, 1, sizeof lead, file.get()) == sizeof lead &&
               std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
               std::fwrite(values.data(), sizeof(float), n, file.get()) == n &&
               std::fflush(file.get()) == 0;
    });
}

bool WriteFloatTiff(const std::string& path, std::span<const float> values, uint32_t width,
                    uint32_t height) {
    if (values.size() < std::size_t{width} * height) return false;
    TIFFSetWarningHandler(nullptr);
    return WriteReplacing(path, [&](const std::string& temporary) {
        std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(temporary.c_str(), "w"));
        if (!tiff) return false;
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 32);
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, "temperature, degrees Celsius");
        for (uint32_t y = 0; y < height; ++y) {
            auto* row = const_cast<float*>(values.data() + std::size_t{y} * width);
            if (TIFFWriteScanline(t, row, y, 0) < 0) return false;
        }
        return TIFFFlush(t) == 1;
    });
}

bool IsFloatImagePath(const std::string& path) {
    return EndsWith(path, ".npy") || EndsWith(path, ".tif") || EndsWith(path, ".tiff");
}

bool WriteFloatImage(const std::string& path, std::span<const float> values, uint32_t width,
                     uint32_t height) {
    if (EndsWith(path, ".npy")) return WriteNpy(path, values, width, height);
    if (IsFloatImagePath(path)) return WriteFloatTiff(path, values, width, height);
    return false;
}

}  // namespace zelir_cli
