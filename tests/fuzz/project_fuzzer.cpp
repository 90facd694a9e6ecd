// The project reader on arbitrary file contents. Pictures and music named by
// the input exist in a fixed folder, so the seeds reach every reading step.
// Whatever the file held, the project that was read is whole (every picture
// has a concrete transition, every slideshow has pictures), and saving it,
// reading that back and saving again gives the same file.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "workspace/project_stack.h"

namespace {

namespace fs = std::filesystem;

// Fixed, so that the seeds can name files in it.
const fs::path kUserFolder = "/tmp/velmora-fuzz-project";

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
    for (const char* name : {"pics/a.jpg", "pics/b.png", "pics/c.jpg", "a.mp3", "default.mp3"})
        velmora::test::writeFile(kUserFolder / name);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path input = kUserFolder / "input.prg";
    velmora::test::writeFile(input, std::string(reinterpret_cast<const char*>(data), size));

    velmora::test::ProjectServices services;
    services.audio.seconds = {{"a.mp3", 30}, {"default.mp3", 60}};
    velmora::test::ProjectStack first(kUserFolder, services, 1);
    first.session.openProject(input);
    checkWhole(first.project);

    first.project.projectFilePath = kUserFolder / "first.prg";
    first.project.flags().modified = true;
    check(first.session.saveProject(false));
    velmora::test::ProjectStack second(kUserFolder, services, 1);
    check(second.session.openProject(kUserFolder / "first.prg"));
    second.project.projectFilePath = kUserFolder / "second.prg";
    second.project.flags().modified = true;  // an empty project reads without a change
    check(second.session.saveProject(false));
    check(fileText(kUserFolder / "first.prg") == fileText(kUserFolder / "second.prg"));
    return 0;
}
