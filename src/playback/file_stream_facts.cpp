// What a played file holds, beside what playback makes of it: for tools that must not present
// defaults or a cut-off movie as recorded data.
#include "playback/file_stream.h"

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

}  // namespace

bool CFileStream::MovieFacts(ZelIrMovieFacts& facts) const {
    if (streamType_ != kStreamMovie || !file_) return false;
    // The layout keeps the count playback uses; the header's own count is read again.
    zelir::files::MovieHeader stated{};
    if (!file_->ReadStruct(0, stated)) return false;
    const uint64_t whole = layout_.wholeFrames;
    const uint64_t used = zelir::files::MovieFrameOffset(whole, layout_.frameBytes);
    facts = ZelIrMovieFacts{};
    facts.headerFrames = stated.frameCount;
    facts.wholeFrames = WholeFrames();
    facts.trailingBytes = static_cast<uint32_t>(file_->Size() > used ? file_->Size() - used : 0);
    facts.durationMs = stated.durationMs;
    facts.frameRate = stated.durationMs == 0
                          ? 0.0f
                          : static_cast<float>(static_cast<double>(stated.frameCount) *
                                               kMillisecondsPerSecond / stated.durationMs);
    facts.finished = layout_.unfinished ? 0 : 1;
    return true;
}

bool CFileStream::LineFromFile() const {
    return streamType_ == kStreamMovie ? layout_.firstLineValid : ReceivedParameterLine();
}
