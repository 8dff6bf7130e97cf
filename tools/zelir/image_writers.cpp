#include "image_writers.h"

#include <png.h>
#include <tiffio.h>

#include <bit>
#include <cstdio>
#include <memory>
#include <vector>

namespace zelir_cli {
namespace {

static_assert(std::endian::native == std::endian::little, "the .npy headers say '<'");

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
using File = std::unique_ptr<std::FILE, FileCloser>;

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

// libpng reports errors by longjmp; this writer owns the structures and the file.
class PngWriter {
  public:
    explicit PngWriter(std::FILE* file)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)),
          info_(png_ ? png_create_info_struct(png_) : nullptr),
          file_(file) {}
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool Write(std::span<const uint8_t> pixels, const RGBQUAD (&palette)[256], ImageSize size) {
        if (png_ == nullptr || info_ == nullptr) return false;
        std::vector<png_color> colours(256);
        for (size_t i = 0; i < colours.size(); ++i) {
            colours[i] = {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue};
        }
        std::vector<png_const_bytep> rows(size.height);
        for (uint32_t y = 0; y < size.height; ++y) rows[y] = pixels.data() + size_t{y} * size.width;
        if (setjmp(png_jmpbuf(png_)) != 0) return false;
        png_init_io(png_, file_);
        png_set_IHDR(png_, info_, size.width, size.height, 8, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png_, info_, colours.data(), static_cast<int>(colours.size()));
        png_write_info(png_, info_);
        png_write_image(png_, const_cast<png_bytepp>(rows.data()));
        png_write_end(png_, nullptr);
        return true;
    }

  private:
    png_structp png_;
    png_infop info_;
    std::FILE* file_;
};

}  // namespace

bool WriteNpy(const std::string& path, std::span<const uint8_t> bytes, const char* descr,
              ImageSize size) {
    std::string header = std::string("{'descr': '") + descr +
                         "', 'fortran_order': False, 'shape': (" + std::to_string(size.height) +
                         ", " + std::to_string(size.width) + "), }";
    // Magic (6), version (2), header length (2), header: padded to 64 bytes, ending in '\n'.
    const size_t total = (10 + header.size() + 1 + 63) / 64 * 64;
    header.append(total - 10 - header.size() - 1, ' ');
    header += '\n';
    return WriteReplacing(path, [&](const std::string& temporary) {
        File file(std::fopen(temporary.c_str(), "wb"));
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
        return std::fwrite(lead, 1, sizeof lead, file.get()) == sizeof lead &&
               std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
               std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
               std::fclose(file.release()) == 0;
    });
}

bool WriteTiff(const std::string& path, std::span<const uint8_t> bytes, uint16_t bitsPerSample,
               uint16_t sampleFormat, const char* description, ImageSize size) {
    const size_t rowBytes = size_t{size.width} * bitsPerSample / 8;
    if (bytes.size() < rowBytes * size.height) return false;
    TIFFSetWarningHandler(nullptr);
    return WriteReplacing(path, [&](const std::string& temporary) {
        std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(temporary.c_str(), "w"));
        if (!tiff) return false;
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, size.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, size.height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, sampleFormat);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, description);
        for (uint32_t y = 0; y < size.height; ++y) {
            auto* row = const_cast<uint8_t*>(bytes.data() + rowBytes * y);
            if (TIFFWriteScanline(t, row, y, 0) < 0) return false;
        }
        if (TIFFFlush(t) != 1) return false;
        tiff.reset();
        return true;
    });
}

bool WritePalettePng(const std::string& path, std::span<const uint8_t> pixels,
                     const RGBQUAD (&palette)[256], ImageSize size) {
    if (pixels.size() < size.Pixels()) return false;
    return WriteReplacing(path, [&](const std::string& temporary) {
        File file(std::fopen(temporary.c_str(), "wb"));
        if (!file || !PngWriter(file.get()).Write(pixels, palette, size)) return false;
        return std::fclose(file.release()) == 0;
    });
}

}  // namespace zelir_cli
