#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "audio/soundtrack_assembly.h"
#include "interfaces/video_format.h"

namespace velmora {

class AudioConverterLibrary;
class EncoderLibrary;
class Event;
class Log;
class MenuSet;
class MultiplexerLibrary;
class SubpictureLibrary;

// The stages of the menu part of a build, numbered as the build counts them.
enum class MenuBuildStage { Soundtrack = 0, StillVideo = 1, Multiplexing = 2 };

// What the menu part tells whoever shows the build: the step it is on (with
// the page index and the page count) and its progress, 0..65535.
struct MenuBuildReport {
    std::function<void(std::string_view label)> label;
    std::function<void(MenuBuildStage stage, int index, int count)> stage;
    std::function<void(int value)> progress;
};

struct MenuStreamJob {
    const MenuSet* menu = nullptr;
    VideoFormat format = kPalStandard;
    // How the menu music is made long enough: loop or pad, frame rate and
    // silence clip; the length it covers is the menu loop's own.
    SoundtrackCover soundtrackCover;
    // The build's conversions, for its slideshow soundtrack to reuse.
    ConvertedTracks* earlierConversions = nullptr;
    const Event* cancelEvent = nullptr;
    MenuBuildReport report;
};

// The outside parts the menu streams are made with.
struct MenuStreamTools {
    EncoderLibrary& encoder;
    MultiplexerLibrary* multiplexer;
    AudioConverterLibrary* converter;
    SubpictureLibrary* subpictures;
    const Log& log;
};

// Makes every menu page's program stream with its buttons, in the order a
// build needs: the menu soundtrack; a still video of each page picture as
// long as the first menu track, at most 120 seconds (longer music is cut
// there and faded out); each video joined with the soundtrack (the
// video is deleted after); the soundtrack deleted; the button subpictures
// laid over each page (a 16:9 menu gets its letterbox stream too; the
// stream without buttons is deleted after). 0 when every page's stream is
// made; the first failing step's result otherwise (2 when cancelled).
int makeMenuStreams(const MenuStreamJob& job, MenuStreamTools& tools);

}  // namespace velmora
