// velmora-framedump: renders a slideshow the way a DVD build does and saves
// chosen composed frames as PNG, and optionally the program stream, so that
// motion effects and transitions can be looked at frame by frame.

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/path_text.h"
#include "image/headless_qt.h"
#include "image/image_type.h"
#include "interfaces/encoder_library.h"
#include "model/transition_kind.h"
#include "outside/ffmpeg_encoder.h"
#include "outside/queued_encoder.h"
#include "render/discarding_encoder.h"
#include "render/timeline.h"
#include "tools/standalone_slideshow.h"

namespace {

namespace fs = std::filesystem;
using velmora::tools::PictureEntry;

constexpr const char* kUsage = R"(usage: velmora-framedump [options] PICTURE|FOLDER ...
Renders the pictures as one slideshow and saves chosen composed frames.

  --pal | --ntsc        TV standard (PAL by default)
  --wide                16:9 instead of 4:3
  --display S           display time of every picture in seconds (3)
  --transition S        transition time in seconds (2)
  --motion N            motion effect 0..20 (20, none)
  --kind K              transition kind 0..17, 18 random (0, Alpha)
  --mode M              the kind's first parameter, e.g. its direction (0)
  --second N            the kind's second parameter, e.g. an edge width (its default)
  --list FILE           the pictures from a file, one per line:
                        PATH [display=S] [transition=S] [motion=N] [kind=K] [mode=M] [second=N]
  --frames LIST         frames to save, e.g. 0,10,20-30 (counted from 0)
  --every N             save every N-th frame
  --dump DIR            folder for the PNG files (.)
  --output FILE.mpg     also write the DVD program stream; needs --music
  --music FILE          the soundtrack, any sound file FFmpeg reads
  --work DIR            working folder (a new one under /tmp)
)";

struct Options {
    velmora::VideoFormat format;
    PictureEntry defaults;
    std::vector<PictureEntry> pictures;
    std::set<int> frames;
    int every = 0;
    fs::path dumpFolder = ".";
    fs::path output;
    fs::path music;
    fs::path workFolder;
};

[[noreturn]] void fail(const std::string& reason) {
    std::cerr << "velmora-framedump: " << reason << '\n';
    std::exit(1);
}

int number(const std::string& text, const char* what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        fail(std::string(what) + " wants a whole number, not \"" + text + "\"");
    return value;
}

void parseFrames(const std::string& list, std::set<int>& frames) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        const size_t dash = item.find('-');
        const int first = number(item.substr(0, dash), "--frames");
        const int last =
            dash == std::string::npos ? first : number(item.substr(dash + 1), "--frames");
        for (int frame = first; frame <= last; ++frame)
            frames.insert(frame);
    }
}

// A folder gives its pictures in name order; a file is taken as it is.
void addPath(const fs::path& path, const PictureEntry& settings, std::vector<PictureEntry>& out) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        PictureEntry entry = settings;
        entry.path = path;
        out.push_back(entry);
        return;
    }
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(path, error)) {
        if (item.is_regular_file() &&
            velmora::imageTypeOf(item.path().filename().string()) != velmora::ImageType::Unknown)
            files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files)
        addPath(file, settings, out);
}

void readList(const fs::path& listFile, const PictureEntry& defaults,
              std::vector<PictureEntry>& out) {
    std::ifstream in(listFile);
    if (!in) fail("cannot read " + velmora::quotedPath(listFile));
    std::string line;
    while (std::getline(in, line)) {
        std::stringstream words(line);
        std::string path, word;
        if (!(words >> path) || path[0] == '#') continue;
        PictureEntry entry = defaults;
        while (words >> word) {
            const size_t equals = word.find('=');
            const std::string key = word.substr(0, equals);
            const int value =
                number(equals == std::string::npos ? "" : word.substr(equals + 1), key.c_str());
            if (key == "display")
                entry.displaySeconds = value;
            else if (key == "transition")
                entry.transitionSeconds = value;
            else if (key == "motion")
                entry.motionEffect = value;
            else if (key == "kind")
                entry.transitionKind = value;
            else if (key == "mode")
                entry.transitionMode = value;
            else if (key == "second")
                entry.transitionSecond = value;
            else
                fail("unknown setting \"" + key + "\" in " + velmora::quotedPath(listFile));
        }
        addPath(fs::path(path).is_absolute() ? fs::path(path) : listFile.parent_path() / path,
                entry, out);
    }
}

Options parse(int argc, char** argv) {
    Options options;
    std::vector<fs::path> paths;
    std::vector<fs::path> lists;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) fail(arg + " wants a value");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg == "--pal")
            options.format.standard = velmora::TvStandard::Pal;
        else if (arg == "--ntsc")
            options.format.standard = velmora::TvStandard::Ntsc;
        else if (arg == "--wide")
            options.format.aspect = velmora::AspectRatio::Wide;
        else if (arg == "--display")
            options.defaults.displaySeconds = number(value(), "--display");
        else if (arg == "--transition")
            options.defaults.transitionSeconds = number(value(), "--transition");
        else if (arg == "--motion")
            options.defaults.motionEffect = number(value(), "--motion");
        else if (arg == "--kind")
            options.defaults.transitionKind = number(value(), "--kind");
        else if (arg == "--second")
            options.defaults.transitionSecond = number(value(), "--second");
        else if (arg == "--mode")
            options.defaults.transitionMode = number(value(), "--mode");
        else if (arg == "--list")
            lists.emplace_back(value());
        else if (arg == "--frames")
            parseFrames(value(), options.frames);
        else if (arg == "--every")
            options.every = number(value(), "--every");
        else if (arg == "--dump")
            options.dumpFolder = value();
        else if (arg == "--output")
            options.output = value();
        else if (arg == "--music")
            options.music = value();
        else if (arg == "--work")
            options.workFolder = value();
        else if (arg.starts_with("--"))
            fail("unknown option " + arg + "\n" + kUsage);
        else
            paths.emplace_back(arg);
    }
    const PictureEntry& d = options.defaults;
    if (d.motionEffect < 0 || d.motionEffect > 20) fail("--motion is 0..20");
    if (!velmora::isTransitionKindId(d.transitionKind))
        fail("--kind is 0.." + std::to_string(velmora::kTransitionKindCount - 1));
    for (const fs::path& list : lists)
        readList(list, d, options.pictures);
    for (const fs::path& path : paths)
        addPath(path, d, options.pictures);
    if (options.pictures.empty()) fail(std::string("no pictures given\n") + kUsage);
    if (!options.output.empty() && options.music.empty()) fail("--output needs --music");
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    velmora::prepareHeadlessQt();
    QGuiApplication application(argc, argv);
    const Options options = parse(argc, argv);

    fs::path work = options.workFolder;
    if (work.empty()) {
        char pattern[] = "/tmp/velmora-framedump-XXXXXX";
        if (mkdtemp(pattern) == nullptr) fail("cannot make a working folder under /tmp");
        work = pattern;
    }
    std::error_code error;
    fs::create_directories(options.dumpFolder, error);
    const velmora::Log log(work / "log.txt");
    velmora::tools::StandaloneSlideshow standalone(work, options.format.standard, log);
    std::string reason;
    for (const PictureEntry& entry : options.pictures) {
        if (!standalone.add(entry, reason)) fail(reason);
    }
    velmora::Slideshow& slideshow = standalone.slideshow();
    if (!options.music.empty() && !standalone.prepareSoundtrack(options.music, reason))
        fail(reason);
    if (!options.output.empty()) slideshow.programStreamPath = options.output;

    int saved = 0;
    velmora::RenderJob job;
    job.format = options.format;
    job.slideshow = &slideshow;
    job.composedFrame = [&](int frame, const QImage& image) {
        const bool wanted =
            options.frames.count(frame) != 0 || (options.every > 0 && frame % options.every == 0);
        if (!wanted) return;
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", frame);
        if (!image.save(QString::fromStdString((options.dumpFolder / name).string()), "PNG"))
            fail("cannot write " + velmora::quotedPath(options.dumpFolder / name));
        ++saved;
    };

    std::unique_ptr<velmora::EncoderLibrary> encoder;
    if (options.output.empty())
        encoder = std::make_unique<velmora::DiscardingEncoder>();
    else
        encoder =
            std::make_unique<velmora::QueuedEncoder>(std::make_unique<velmora::FfmpegEncoder>(log));
    const int result = velmora::encodeSlideshow(job, *encoder, log);
    std::cout << slideshow.totalFrames << " frames rendered, " << saved << " saved in "
              << velmora::quotedPath(options.dumpFolder) << '\n';
    if (result != 0)
        fail("the render failed with " + std::to_string(result) + "; see " +
             velmora::quotedPath(work / "log.txt"));
    if (!options.output.empty())
        std::cout << "program stream: " << velmora::quotedPath(options.output) << '\n';
    return 0;
}
