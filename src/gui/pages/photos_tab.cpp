#include "gui/pages/photos_tab.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {

PhotosTab::PhotosTab(QWidget* parent) : Page(parent), hint_(new QFrame(this)) {
    hint_->setObjectName(QStringLiteral("firstStartHint"));
    hint_->setFrameShape(QFrame::StyledPanel);
    hint_->setAutoFillBackground(true);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    auto* text = new QLabel(tr("Welcome to Velmora! Start by gathering your photos into a "
                               "slideshow here, then give them effects, music and a menu on "
                               "the next pages, and make your DVD on the last one."),
                            hint_);
    text->setWordWrap(true);
    text->setForegroundRole(QPalette::ToolTipText);
    auto* close = new QToolButton(hint_);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("Hide this hint"));
    close->setAccessibleName(tr("Hide this hint"));
    connect(close, &QToolButton::clicked, hint_, &QWidget::hide);
    auto* hintLayout = new QHBoxLayout(hint_);
    hintLayout->addWidget(text, 1);
    hintLayout->addWidget(close, 0, Qt::AlignTop);
    hint_->hide();
    pageLayout()->addWidget(hint_);
    showComingLine(tr("Here you will gather your photos into slideshows."));
}

void PhotosTab::showFirstStartHint() {
    hint_->show();
}

bool PhotosTab::isFirstStartHintShown() const {
    return !hint_->isHidden();
}

}  // namespace velmora
