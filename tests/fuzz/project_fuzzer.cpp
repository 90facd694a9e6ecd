// The project reader on arbitrary file contents. Pictures and music named by
// the input exist in a fixed folder, so the seeds reach every reading step.
// Whatever the file held, the project that was read is whole (every picture
// has a concrete transition, every slideshow has pictures), and saving it,
// reading that back and saving again gives the same file.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "workspace/project_stack.h"

namespace {

namespace fs = std::filesystem;

// Fixed, so that the seeds can name the pictures and music in it.
const fs::path kSharedFolder = "/tmp/velmora-fuzz-project";

// What a run writes goes into a folder of its own, so that a replay and a
// fuzzing run never share files.
const fs::path& userFolder() {
    static const fs::path folder = kSharedFolder / ("run-" + std::to_string(getpid()));
    return folder;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void checkWhole(const velmora::Project& project) {
    for (const auto& slideshow : project.slideshows) {
        check(!slideshow->pictures.empty() && slideshow->totalFrames > 0);
        for (const velmora::SlideImage& picture : slideshow->pictures) {
            const auto& transition = picture.settings.effect.transition;
            check(transition != nullptr && transition->kind() != velmora::TransitionKind::Random);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* name : {"pics/a.jpg", "pics/b.png", "pics/c.jpg", "a.mp3"})
        velmora::test::writeFile(kSharedFolder / name);
    velmora::test::writeFile(userFolder() / "default.mp3");
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(userFolder(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& user = userFolder();
    const fs::path input = user / "input.prg";
    velmora::test::writeFile(input, std::string(reinterpret_cast<const char*>(data), size));

    velmora::test::ProjectServices services;
    services.audio.seconds = {{"a.mp3", 30}, {"default.mp3", 60}};
    velmora::test::ProjectStack first(user, services, 1);
    first.session.openProject(input);
    checkWhole(first.project);

    first.project.projectFilePath = user / "first.prg";
    first.project.flags().modified = true;
    check(first.session.saveProject(false));
    velmora::test::ProjectStack second(user, services, 1);
    check(second.session.openProject(user / "first.prg"));
    second.project.projectFilePath = user / "second.prg";
    second.project.flags().modified = true;  // an empty project reads without a change
    check(second.session.saveProject(false));
    check(fileText(user / "first.prg") == fileText(user / "second.prg"));
    return 0;
}
