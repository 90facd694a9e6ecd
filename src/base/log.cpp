#include "base/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

namespace velmora {

std::string logTimeText(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&local, "%H:%M:%S, %b %d, %Y");
    return text.str();
}

void Log::writeLog(std::string_view text) const {
    std::string line = logTimeText(std::time(nullptr));
    line += ": ";
    line += text;
    line += '\n';
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // O_APPEND places each write at the end atomically.
    const char* data = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written <= 0) break;
        data += written;
        left -= size_t(written);
    }
    ::close(fd);
}

}  // namespace velmora
