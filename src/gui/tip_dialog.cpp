#include "gui/tip_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/desktop_settings.h"
#include "workspace/tip_of_the_day.h"

namespace velmora {

TipDialog::TipDialog(const std::filesystem::path& tipsFile, QSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(tr("Tip of the Day"));
    const DesktopSettings stored(settings_);
    tips_ = std::make_unique<TipOfTheDay>(
        tipsFile, TipPosition{stored.tipFilePosition(), stored.tipTimeStamp().toStdString()});
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("tipTitle"));
    QFont bigger = title_->font();
    bigger.setBold(true);
    bigger.setPointSizeF(bigger.pointSizeF() * 1.2);
    title_->setFont(bigger);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("tipText"));
    text_->setWordWrap(true);
    text_->setMinimumHeight(80);
    text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    showAtStart_ = new QCheckBox(tr("Show tips at start"), this);
    showAtStart_->setChecked(stored.showTipAtStart());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    next_ = buttons->addButton(tr("&Next Tip"), QDialogButtonBox::ActionRole);
    connect(next_, &QPushButton::clicked, this, &TipDialog::showNextTip);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(text_, 1);
    layout->addWidget(showAtStart_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    showNextTip();
}

TipDialog::~TipDialog() = default;

void TipDialog::showNextTip() {
    const Tip tip = tips_->next();
    title_->setText(QString::fromStdString(tip.title));
    QString text = QString::fromStdString(tip.text);
    if (!tip.secondText.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(tip.secondText);
    text_->setText(text);
    // A missing or empty tips file gives the same message every time.
    next_->setEnabled(!tip.isProblem);
}

void TipDialog::done(int result) {
    DesktopSettings stored(settings_);
    const TipPosition position = tips_->position();
    stored.setTipPlace(position.filePosition, QString::fromStdString(position.timeStamp));
    // The start-up flag is kept only when the user closes with OK.
    if (result == QDialog::Accepted) stored.setShowTipAtStart(showAtStart_->isChecked());
    QDialog::done(result);
}

}  // namespace velmora
