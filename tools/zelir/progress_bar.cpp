#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace zelir_cli {

ProgressBar::ProgressBar(std::string label, uint64_t total)
    : label_(std::move(label)), total_(total), shown_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    if (shown_ && lastPercent_ >= 0) std::fputc('\n', stderr);
}

void ProgressBar::Update(uint64_t done) {
    if (!shown_ || total_ == 0) return;
    const int percent = static_cast<int>(done >= total_ ? 100 : done * 100 / total_);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", label_.c_str(), filled,
                 "########################################", kWidth - filled, "", percent);
    std::fflush(stderr);
}

}  // namespace zelir_cli
