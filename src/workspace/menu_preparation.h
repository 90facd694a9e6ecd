#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Application;
class Project;

// Leaves the menu's files as a build needs them: the pages made anew from
// the selected theme (`regenerate`, or when there are none) or brought in
// line with the slideshows, then every page picture, the button masks and
// the subpicture and authoring scripts. A `title` given becomes every
// page's title. False with *reason when no theme is installed or the
// scripts cannot be written.
bool prepareMenu(Application& app, bool regenerate, const std::optional<std::string>& title,
                 std::string* reason);

// The button masks, the subpicture scripts and the authoring script of the
// menu as it stands (its page pictures already written). False with
// *reason when they cannot be written.
bool writeMenuScripts(Application& app, std::string* reason);

// The names the menu's captions show, in slideshow order.
std::vector<std::string> slideshowNames(const Project& project);

// The disc's name, for its volume label: the menu's title, else the
// project file's name, else "My DVD".
std::string discTitle(const Application& app);

}  // namespace velmora
