// A C stdio file that closes itself.
#pragma once

#include <cstdio>
#include <memory>

namespace zelir {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace zelir
