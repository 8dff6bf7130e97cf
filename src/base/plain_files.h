// Line-by-line text reading and whole-buffer binary writing.
#pragma once

#include <cstdint>
#include <cstdio>

namespace Infrared_1_0 {

// Reads a text file line by line (mode 1: read).
class CAsciiFile {
  public:
    static constexpr int kModeRead = 1;

    CAsciiFile() = default;
    ~CAsciiFile();
    CAsciiFile(const CAsciiFile&) = delete;
    CAsciiFile& operator=(const CAsciiFile&) = delete;

    bool Open(const char* path, int mode);
    // Reads the next line without its line end (LF or CRLF) into `buffer`, always terminated;
    // a line longer than the buffer is cut and the rest of it skipped. False at end of file.
    bool GetLine(char* buffer, int64_t size);
    bool Close();

  private:
    FILE* file_ = nullptr;
};

// Writes a new output file (mode 34: create or truncate, write).
class CBinaryFile {
  public:
    static constexpr int kModeWriteNew = 34;

    CBinaryFile() = default;
    ~CBinaryFile();
    CBinaryFile(const CBinaryFile&) = delete;
    CBinaryFile& operator=(const CBinaryFile&) = delete;

    bool Open(const char* path, int mode);
    bool Write(const char* data, int64_t length);
    bool Close();

  private:
    FILE* file_ = nullptr;
};

}  // namespace Infrared_1_0
