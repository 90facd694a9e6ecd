#pragma once

#include "model/project_file.h"

namespace velmora {

class MarkupDocument;
class MenuSet;
class ThemeCatalogue;

// Writes the menu's elements inside the document's current parent: its
// soundtrack file, theme and shown page, the first menu track, then every
// page with its files, texts, buttons and navigation buttons.
void saveMenuSet(MarkupDocument& doc, const MenuSet& menu);

// Reads what saveMenuSet wrote into `menu`, appending pages and tracks. The
// elements are read in their order; a missing one stops the reading and
// keeps what was read. A page without all its file elements is dropped; a
// stored theme index is selected in the catalogue.
void loadMenuSet(MarkupDocument& doc, MenuSet& menu, ThemeCatalogue& catalogue);

// The menu's place in the project file.
class MenuFileSection : public ProjectFileSection {
  public:
    MenuFileSection(MenuSet& menu, ThemeCatalogue& catalogue)
        : menu_(menu), catalogue_(catalogue) {}

    void saveSection(MarkupDocument& doc) const override { saveMenuSet(doc, menu_); }
    void loadSection(MarkupDocument& doc) override { loadMenuSet(doc, menu_, catalogue_); }

  private:
    MenuSet& menu_;
    ThemeCatalogue& catalogue_;
};

}  // namespace velmora
