#include "gui/pages/page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velmora {

Page::Page(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {}

void Page::showComingLine(const QString& text) {
    auto* line = new QLabel(text, this);
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    line->setEnabled(false);  // the desktop's dimmed text: nothing here to use yet
    layout_->addStretch();
    layout_->addWidget(line);
    layout_->addStretch();
}

}  // namespace velmora
