#include "formats/srec_image.h"

#include <zelir/zelir.h>

#include <algorithm>

#include "base/debug_output.h"
#include "base/plain_files.h"

namespace zelir {

static_assert(kSrecImageCapacity == SREC_IMAGE_CAPACITY);

SrecImage ReadSrecImage(const char* path) {
    SrecImage image;
    image.bytes = std::make_unique_for_overwrite<uint8_t[]>(kSrecImageCapacity);

    Infrared_1_0::CAsciiFile file;
    file.Open(path, Infrared_1_0::CAsciiFile::kModeRead);
    char line[128];
    SrecRecord record;
    while (file.GetLine(line, sizeof line)) {
        if (DecodeSrec(&record, line) != 0 || record.type != 3) continue;
        // The image buffer is fixed; a file that holds more is refused rather than cut, since a
        // truncated flash image would program a broken firmware.
        if (record.length > kSrecImageCapacity - image.length) {
            odprintf("SrecToBin: %s holds more than %zu bytes of S3 data\n", path,
                     kSrecImageCapacity);
            file.Close();
            return SrecImage{.bytes = nullptr, .refused = true};
        }
        if (image.start == kSrecNoStart) image.start = record.address;
        std::copy_n(record.data, record.length, image.bytes.get() + image.length);
        image.length += record.length;
    }
    file.Close();
    return image;
}

void WriteBinaryImage(const char* path, std::span<const uint8_t> bytes) {
    Infrared_1_0::CBinaryFile file;
    file.Open(path, Infrared_1_0::CBinaryFile::kModeWriteNew);
    file.Write(reinterpret_cast<const char*>(bytes.data()), static_cast<int64_t>(bytes.size()));
    file.Close();
}

}  // namespace zelir
