// The bitmap reader's file path, which reads a plain bitmap straight from the open file: any file
// gives a picture or a reason (or is left to the general decoder), never a crash or an overread.
#include "FuzzCheck.h"

#include "imaging/codecs/BmpCodec.h"

#include <QtCore/QFile>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = ::memfd_create("fuzz_bmp_file", 0);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::ftruncate(fd, 0) == 0);
    FUZZ_CHECK(::pwrite(fd, data, size, 0) == ssize_t(size));
    FUZZ_CHECK(::lseek(fd, 0, SEEK_SET) == 0);
    QFile file;
    FUZZ_CHECK(file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle));
    if (const std::optional<DecodedImage> decoded = BmpCodec::readPlain(file)) {
        FUZZ_CHECK(decoded->ok() != !decoded->error.isEmpty());
        FUZZ_CHECK(!decoded->ok() || decoded->bitCount > 0);
        // What the file path reads, the decoder of bytes reads the same way.
        const DecodedImage inMemory = BmpCodec::decode(fuzzBytes(data, size));
        FUZZ_CHECK(inMemory.ok() == decoded->ok());
        FUZZ_CHECK(!decoded->ok() || inMemory.image == decoded->image);
    }
    return 0;
}
