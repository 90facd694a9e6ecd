#include "outside/dvd_tool_fixtures.h"

#include <sys/wait.h>

#include <QImage>
#include <QPainter>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "base/markup_document.h"
#include "base/markup_file.h"
#include "support/run_program.h"

namespace velmora::test {

namespace fs = std::filesystem;

void makeProgramStream(const fs::path& file, int seconds) {
    const std::string length = std::to_string(seconds);
    const ProgramResult made = runProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                           "testsrc=size=720x576:rate=25", "-f", "lavfi", "-i",
                                           "sine=frequency=440:sample_rate=48000", "-t", length,
                                           "-target", "pal-dvd", "-aspect", "4:3", file.string()});
    if (made.exitCode != 0) throw std::runtime_error("ffmpeg failed: " + made.output);
}

void writeButtonMask(const fs::path& file, QRect button, QColor colour) {
    QImage mask(720, 576, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    QPainter painter(&mask);
    painter.setPen(QPen(colour, 3));  // no antialiasing: exactly two colours
    painter.drawRect(button);
    painter.end();
    if (!mask.save(QString::fromStdString(file.string()), "PNG"))
        throw std::runtime_error("cannot write " + file.string());
}

namespace {

void appendChildren(MarkupDocument& doc, const ScriptElement& element) {
    for (const ScriptElement& child : element.children) {
        doc.appendChild(child.name, child.text);
        for (const auto& [name, value] : child.attributes)
            doc.setAttribute(doc.childIndex(), name, value);
        doc.enter();  // the new child becomes the current element
        appendChildren(doc, child);
        doc.leave();
    }
}

}  // namespace

void writeScript(const fs::path& file, const ScriptElement& root) {
    MarkupDocument doc;
    doc.appendElement(root.name, root.text);
    for (const auto& [name, value] : root.attributes)
        doc.setAttribute(doc.currentIndex(), name, value);
    appendChildren(doc, root);
    std::string error;
    if (!writeMarkupFile(file, doc.doc(), &error)) throw std::runtime_error(error);
}

std::string streamList(const fs::path& file) {
    return runProgram({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name,id", "-of",
                       "csv=p=0", file.string()})
        .output;
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool waitForText(const fs::path& file, const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fileText(file).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool noChildProcessLeft() {
    return waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

void makeDvdFolder(const fs::path& dvd, const fs::path& work, int titles, int seconds) {
    const fs::path stream = work / "title.mpg";
    makeProgramStream(stream, seconds);
    const ScriptElement video{"video", {{"format", "pal"}, {"aspect", "4:3"}}, {}, {}};
    ScriptElement titleList{"titles", {}, {}, {video}};
    for (int i = 0; i < titles; ++i)
        titleList.children.push_back(
            {"pgc", {}, {}, {{"vob", {{"file", stream.string()}}, {}, {}}}});
    const ScriptElement managerVideo{"video", {{"format", "pal"}}, {}, {}};
    writeScript(work / "dvd.xml", {"dvdauthor",
                                   {},
                                   {},
                                   {{"vmgm", {}, {}, {{"menus", {}, {}, {managerVideo}}}},
                                    {"titleset", {}, {}, {titleList}}}});
    const ProgramResult made =
        runProgram({"dvdauthor", "-o", dvd.string(), "-x", (work / "dvd.xml").string()});
    if (made.exitCode != 0) throw std::runtime_error("dvdauthor failed: " + made.output);
}

}  // namespace velmora::test
