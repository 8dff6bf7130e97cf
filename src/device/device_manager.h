// The object behind every handle: the image state (CIRManager) plus the one source it opened,
// and what is done with that source: movie recording, image saving, movie stepping.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "base/status.h"
#include "device/device_list.h"
#include "device/movie_recorder.h"
#include "imaging/ir_manager.h"
#include "stream/stream_base.h"

class CFileStream;
class CGNetDevice;

// Handle types.
enum HandleType : uint32_t {
    kHandleNone = 0,
    kHandleCamera = 1,
    kHandleMovie = 2,
    kHandleImage = 3,
};

class CIRDeviceManager : public CIRManager {
  public:
    CIRDeviceManager();
    ~CIRDeviceManager() override;

    // Opens a camera by connection path. kInvalidArgument for a path without meaning,
    // kNotFound when no listed camera matches, kUnsupported for a camera of another kind or
    // size, kCannotOpen when its channel cannot be opened; a failure leaves no stream.
    zelir::Status DeviceOpen(const wchar_t* path, void* reserved);
    // Opens a recorded file (movie, combined image or raw image); kCannotOpen when it cannot be
    // read as one.
    zelir::Status FileOpen(const wchar_t* path);
    // Finishes a recording, saves the display settings, closes and destroys the stream;
    // nothing when none is open.
    void StreamClose();

    CStreamBase* Stream() const { return stream_.get(); }
    // The stream as what it is: null unless the handle opened a camera, or a movie.
    CGNetDevice* Camera() const { return camera_; }
    CFileStream* Movie() const { return movie_; }

    // Fetches the newest frame into the stream's frame record (recording it when a movie is
    // being recorded); false when there is none.
    bool FetchNewFrame(uint32_t direct);
    // The digit array: the frame record's buffer (null without a stream).
    uint8_t* GetDigitArray();
    uint32_t GetDigitDataLength();
    uint32_t GetPixelKind();
    uint32_t GetBytesPerPixel();

    // Maps a digit array with the source's arithmetic object; 0 without a stream.
    int32_t MapToY8(const uint16_t* source, uint8_t* destination, int32_t noFlip,
                    HISTOGRAM_INFO* record);

    // Movie stepping: moves the position, then fetches the frame there.
    void MovieForward(uint32_t frames);
    void MovieBackward(uint32_t frames);

    // Movie recording of whatever the stream delivers: kNotOpen without a stream,
    // kInvalidArgument without a path, else what the recorder's start says.
    zelir::Status StartRecording(const wchar_t* path);
    void StopRecording();
    bool IsRecording() const { return recorder_.IsRecording(); }

    // Savers of the current image: kNotOpen without a stream, kInvalidArgument for what cannot
    // make an image, kIoError when the file cannot be written (nothing is left behind).
    zelir::Status SaveCurrentImage(const wchar_t* path, bool companionRaw);
    zelir::Status SaveCurrentImageAsBmp(const wchar_t* path);
    zelir::Status SaveCallerImage(const wchar_t* path, const BITMAPINFOHEADER* info,
                                  const RGBQUAD* palette, const uint8_t* pixels, uint16_t lineSize);

    // Camera transfers without an acknowledgement per message; 0 without a stream.
    int32_t TransmitBadPoints(const int16_t* map);
    int32_t TransmitBuffer(const uint8_t* data, uint32_t size, uint32_t type);

    // Held by every export on this handle for the whole call.
    std::recursive_mutex& Mutex() { return mutex_; }
    // Under the handle's lock, before an export looks at the image state: takes over what the
    // receive thread published for it (the newest parameter line of callback delivery).
    void SyncWithSource();

    uint32_t saveBadPoints = 0;

  protected:
    // Takes an opened stream, hands it this handle's image state and recorder.
    void AdoptStream(std::unique_ptr<CStreamBase> stream);

  private:
    // Data directory: the executable's directory + "_TempData/", created when missing.
    void SetUpDataDirectory();
    // Fetches again at the current position, paused or not.
    void RefreshFrame();
    zelir::Status BuildCurrentBitmap(std::vector<uint8_t>& bitmap);

    std::recursive_mutex mutex_;
    zelir::MovieRecorder recorder_;
    std::unique_ptr<CStreamBase> stream_;
    CGNetDevice* camera_ = nullptr;
    CFileStream* movie_ = nullptr;
};
