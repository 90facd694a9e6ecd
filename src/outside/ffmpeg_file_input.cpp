#include "outside/ffmpeg_file_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_checks.h"

namespace velmora {

namespace {

constexpr int kReadBufferBytes = 64 * 1024;

int descriptorOf(void* opaque) {
    return static_cast<const FileDescriptor*>(opaque)->get();
}

int readFromFile(void* opaque, uint8_t* buffer, int size) {
    while (true) {
        const ssize_t count = ::read(descriptorOf(opaque), buffer, size_t(size));
        if (count > 0) return int(count);
        if (count == 0) return AVERROR_EOF;
        if (errno != EINTR) return AVERROR(errno);
    }
}

int64_t seekInFile(void* opaque, int64_t offset, int whence) {
    const int fd = descriptorOf(opaque);
    if ((whence & AVSEEK_SIZE) != 0) {
        struct stat status {};
        return ::fstat(fd, &status) == 0 ? int64_t(status.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

int refuseFurtherFiles(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

}  // namespace

void FileInput::IoContextDeleter::operator()(AVIOContext* io) const {
    av_freep(&io->buffer);  // FFmpeg may have swapped the buffer given
    avio_context_free(&io);
}

int FileInput::open(const std::filesystem::path& file, std::string* reason) {
    std::string problem;
    descriptor_ = FileDescriptor(openRegularFile(file, &problem));
    if (!descriptor_.isOpen()) {
        *reason = "it " + problem;
        return 1;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBufferBytes));
    if (buffer == nullptr) return AVERROR(ENOMEM);
    io_.reset(avio_alloc_context(buffer, kReadBufferBytes, 0, &descriptor_, &readFromFile, nullptr,
                                 &seekInFile));
    if (!io_) {
        av_free(buffer);
        return AVERROR(ENOMEM);
    }
    AVFormatContext* format = avformat_alloc_context();
    if (format == nullptr) return AVERROR(ENOMEM);
    format->pb = io_.get();
    // Demuxers that name further files (HLS, DASH, concat lists, picture
    // sequences) open them through io_open or through a protocol: neither
    // is allowed, so a sound file is read on its own.
    format->io_open = &refuseFurtherFiles;
    const int denied = av_opt_set(format, "protocol_whitelist", "none", 0);
    if (denied < 0) {
        avformat_free_context(format);
        return denied;
    }
    // The name still helps FFmpeg guess the format from the extension.
    const int result = avformat_open_input(&format, file.c_str(), nullptr, nullptr);
    if (result < 0) return result;  // FFmpeg has freed the context
    format_.reset(format);
    return 0;
}

}  // namespace velmora
