#include "playback/file_stream.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "formats/combined_image.h"
#include "formats/parameter_line.h"
#include "formats/raw_image.h"

namespace files = zelir::files;

namespace {

constexpr size_t kImageCacheBytes = 1280 * 1024 * 2;
constexpr char kFileSourceTag[] = "IRGBIT";
constexpr size_t kSerialTextLimit = 32;

std::filesystem::path NativePath(const std::wstring& path) {
    return std::filesystem::path(zelir::WideToUtf8(path));
}

void SetSourceTag(files::MovieHeader& header) {
    std::memset(header.sourceTag, 0, sizeof(header.sourceTag));
    std::memcpy(header.sourceTag, kFileSourceTag, sizeof(kFileSourceTag));
}

}  // namespace

CFileStream::CFileStream(const wchar_t* path)
    : path_(path != nullptr ? path : L""), imageCache_(new uint8_t[kImageCacheBytes]()) {
    loopPlay_ = 1;
}

CFileStream::~CFileStream() = default;

uint32_t CFileStream::StreamTypeOfPath(const std::wstring& path) {
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0) return kStreamOtherFile;
    std::wstring extension = path.substr(dot + 1, 3);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    if (extension == L"irm") return kStreamMovie;
    if (extension == L"iiv") return kStreamIiv;
    if (extension == L"raw") return kStreamRawImage;
    if (extension == L"bmp") return kStreamCombinedImage;
    return kStreamOtherFile;
}

int32_t CFileStream::Open() {
    sourceStatus_ = 0;
    openResult_ = files::FileResult::kCannotOpen;
    if (path_.empty() || path_.size() > kMaxPathLength) return 0;
    streamType_ = StreamTypeOfPath(path_);
    fileHeader_ = {};
    if (imaging_ == nullptr) return 0;
    if (streamType_ == kStreamCombinedImage || streamType_ == kStreamRawImage) {
        position_ = 0;
        SetSourceTag(fileHeader_);
        openResult_ = LoadSingleImage();
        if (openResult_ != files::FileResult::kOk) return 0;
        fileHeader_.frameCount = 1;
        return 1;
    }
    if (streamType_ != kStreamMovie) return 0;
    openResult_ = OpenMovie();
    return openResult_ == files::FileResult::kOk ? 1 : 0;
}

files::FileResult CFileStream::OpenMovie() {
    file_ = std::make_unique<files::FileSource>(NativePath(path_));
    if (!file_->IsOpen()) {
        file_.reset();
        return files::FileResult::kCannotOpen;
    }
    if (const files::FileResult read = files::ReadMovieLayout(*file_, layout_);
        read != files::FileResult::kOk) {
        file_.reset();
        return read;
    }
    // A movie without one complete frame has nothing to deliver and is refused; so is an
    // unfinished one of 10 frames or fewer, whose count rule gives 0.
    const bool refused = layout_.wholeFrames == 0 || layout_.header.frameCount == 0;
    if (layout_.unfinished) {
        const std::string path = NativePath(path_).string();
        if (refused) {
            odprintf("%s was not finished and holds %llu whole frames: refused\n", path.c_str(),
                     static_cast<unsigned long long>(layout_.wholeFrames));
        } else {
            odprintf("%s was not finished: opened with the %u whole frames it holds\n",
                     path.c_str(), layout_.header.frameCount);
        }
    }
    if (refused) {
        file_.reset();
        return files::FileResult::kTruncated;
    }
    fileHeader_ = layout_.header;
    SetSourceTag(fileHeader_);
    width_ = fileHeader_.width;
    height_ = fileHeader_.height;
    dataOffset_ = 0;
    frameSize_ = ImageBytes();
    ZelIrParameterBlock& block = *imaging_->ParameterBlock();
    CIRManager::InitParameterBlock(block, width_, height_);
    if (layout_.firstLineValid) files::AdoptParameterLine(block, layout_.firstLine);
    PrepareImagePipeline(false);
    sourceStatus_ = kSourceReady;
    open_ = 1;
    paused_ = 1;
    position_ = 0;
    totalFrames_ = fileHeader_.frameCount;
    return files::FileResult::kOk;
}

files::FileResult CFileStream::LoadSingleImage() {
    const files::FileResult loaded =
        streamType_ == kStreamRawImage ? LoadRawImage() : LoadCombinedImage();
    if (loaded != files::FileResult::kOk) return loaded;
    FrameRecord& record = *frameRecord_;
    std::memcpy(imageCache_.get(), record.data.get(), ImageBytes());
    record.imageBytes = ImageBytes();
    record.pixelKind = 0;
    record.bytesPerPixel = 2;
    PrepareImagePipeline(true);
    // para.ini was loaded over the block: the image's own line takes its place again.
    AdoptCachedParameterLine();
    GenerateY16(record.data.get(), width_, height_);
    WriteRecordFrame(nullptr, 0, record.data.get(), ImageBytes());
    return files::FileResult::kOk;
}

files::FileResult CFileStream::LoadRawImage() {
    files::RawImageSize size{};
    if (const files::FileResult read =
            files::ReadRawImageFile(NativePath(path_), frameRecord_->Bytes(), size);
        read != files::FileResult::kOk) {
        return read;
    }
    width_ = size.width;
    height_ = size.height;
    // The leading parameter rows are skipped on reading, so pixels start at the buffer.
    dataOffset_ = 0;
    frameSize_ = ImageBytes();
    ZelIrParameterBlock& block = *imaging_->ParameterBlock();
    CIRManager::InitParameterBlock(block, width_, height_);
    block.headerLines = size.HeaderLines();
    block.frameRate = files::kRawImageFrameRate;
    return files::FileResult::kOk;
}

files::FileResult CFileStream::LoadCombinedImage() {
    files::CombinedImageInfo info{};
    ZelIrParameterBlock& block = *imaging_->ParameterBlock();
    if (const files::FileResult read = files::ReadCombinedImageFile(
            NativePath(path_), block, frameRecord_->Bytes(),
            {imaging_->AnalysisBlock(), CIRManager::kAnalysisBlockBytes}, info);
        read != files::FileResult::kOk) {
        return read;
    }
    width_ = info.width;
    height_ = info.height;
    dataOffset_ = 0;
    frameSize_ = ImageBytes();
    if (info.analysisBytes > 0) {
        imaging_->SetAnalysisBlockLength(static_cast<uint16_t>(info.analysisBytes));
        imaging_->analysisBlockImported = 1;
    }
    if (info.hasParameterLine) hasParameterLine_ = 1;
    return files::FileResult::kOk;
}

void CFileStream::PrepareImagePipeline(bool singleImage) {
    SetSaveDirectory(imaging_->DataDirectory().c_str());
    ZelIrParameterBlock& block = *imaging_->ParameterBlock();
    const uint16_t width = block.width;
    const uint16_t height = block.height;
    const uint32_t marker = block.alarmColorMarker;
    if (singleImage || hasParameterLine_ == 0) {
        CIRManager::LoadParameters(block, imaging_->DataDirectory().c_str());
    }
    block.width = width;
    block.height = height;
    if (singleImage) block.alarmColorMarker = marker;
    imaging_->LoadPalette(block.paletteIndex);
    const std::wstring serial = CIRManager::SerialText(block, singleImage ? 8 : kSerialTextLimit);
    arith_.Init(width_, height_, imaging_->DataDirectory().c_str(), serial.c_str());
    imaging_->LoadMask();
}

FrameRecord* CFileStream::GetFrame(uint32_t) {
    if (streamType_ == kStreamCombinedImage || streamType_ == kStreamRawImage) {
        DeliverCachedImage();
        return nullptr;
    }
    if (streamType_ != kStreamMovie || !file_) return nullptr;
    if (position_ >= totalFrames_) position_ = totalFrames_ - 1;
    FrameRecord& record = *frameRecord_;
    // The header may count frames the file never received: those show the last whole frame.
    const uint64_t index = std::min<uint64_t>(position_, layout_.wholeFrames - 1);
    if (files::ReadMovieFrame(*file_, layout_, index, record.Bytes()) == files::FileResult::kOk) {
        record.imageBytes = frameSize_;
        record.pixelKind = 0;
        record.bytesPerPixel = 2;
    }
    CalibrationStep(record.data.get());
    GenerateY16(record.data.get(), width_, height_);
    return &record;
}

void CFileStream::AdoptCachedParameterLine() {
    if (streamType_ == kStreamCombinedImage && imaging_ != nullptr &&
        files::IsValidParameterLine({imageCache_.get(), files::kParameterLineBytes}, width_,
                                    height_)) {
        files::AdoptParameterLine(*imaging_->ParameterBlock(),
                                  std::span<const uint8_t, files::kParameterLineBytes>(
                                      imageCache_.get(), files::kParameterLineBytes));
    }
}

void CFileStream::DeliverCachedImage() {
    FrameRecord& record = *frameRecord_;
    AdoptCachedParameterLine();
    std::memcpy(record.data.get(), imageCache_.get(), ImageBytes());
    record.imageBytes = ImageBytes();
    record.pixelKind = 0;
    record.bytesPerPixel = 2;
    if (streamType_ == kStreamRawImage) CalibrationStep(record.data.get());
    GenerateY16(record.data.get(), width_, height_);
    WriteRecordFrame(nullptr, 0, record.data.get(), ImageBytes());
}

void CFileStream::SetPause(uint32_t paused) {
    paused_ = paused;
}

void CFileStream::Close() {
    file_.reset();
    open_ = 0;
}

const char* CFileStream::GetSourceTag() {
    return fileHeader_.sourceTag;
}

bool CFileStream::Forward(uint32_t frames) {
    if (streamType_ != kStreamMovie || totalFrames_ == 0) return false;
    const uint64_t target = uint64_t{position_} + frames;
    position_ = target >= totalFrames_ ? totalFrames_ - 1 : static_cast<uint32_t>(target);
    return true;
}

bool CFileStream::Backward(uint32_t frames) {
    if (streamType_ != kStreamMovie || position_ == 0) return false;
    position_ = position_ > frames ? position_ - frames : 0;
    return true;
}

int32_t CFileStream::Goto(int32_t position) {
    if (streamType_ != kStreamMovie || position < 1 ||
        static_cast<uint32_t>(position) >= totalFrames_) {
        return 0;
    }
    position_ = static_cast<uint32_t>(position);
    return 1;
}

void CFileStream::StepForNewFrame() {
    if (streamType_ != kStreamMovie) return;
    // Loop play: past the last frame playback starts again at frame 0, as a player does.
    // Without it the last frame is delivered again.
    if (Goto(static_cast<int32_t>(position_ + 1)) == 0 && loopPlay_ != 0) position_ = 0;
}
