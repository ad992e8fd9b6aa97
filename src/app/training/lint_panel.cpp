// The training lint's warnings on the page "Работа сети".
#include "app/training/lint_panel.h"

#include "app/gui/help_window.h"
#include "app/training/teach_network_ids.h"

#include <QLabel>
#include <QVBoxLayout>

namespace axolite::training_ui {

LintPanel::LintPanel(TrainingState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QString::number(IdLint));
    list_ = new QLabel(this);
    list_->setWordWrap(true);
    list_->setTextFormat(Qt::RichText);
    list_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(list_, &QLabel::linkActivated, this, &LintPanel::openHelp);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Замечания к обучению :"), this));
    layout->addWidget(list_);
    setVisible(false);
    connect(&state_, &TrainingState::resultsChanged, this, &LintPanel::showWarnings);
    connect(&state_, &TrainingState::runStarted, this, [this] { setVisible(false); });
}

void LintPanel::showWarnings() {
    const auto& warnings = state_.lastRun().lint;
    QString html;
    for (const training::LintWarning& warning : warnings) {
        html += QStringLiteral("Итерация %1: %2 <a href=\"%3\">Справка</a><br>")
                    .arg(warning.iteration)
                    .arg(QString::fromStdString(warning.text).toHtmlEscaped(),
                         QString::fromStdString(warning.help).toHtmlEscaped());
    }
    list_->setText(html);
    setVisible(state_.lastRun().available && !warnings.empty());
}

QString LintPanel::text() const {
    if (!state_.lastRun().available) {
        return {};
    }
    QString lines;
    for (const training::LintWarning& warning : state_.lastRun().lint) {
        lines += QStringLiteral("Итерация %1: %2\n")
                     .arg(warning.iteration)
                     .arg(QString::fromStdString(warning.text));
    }
    return lines;
}

void LintPanel::openHelp(const QString& page) {
    if (help_) {
        help_(page);
    } else {
        openHelpPage(page);
    }
}

} // namespace axolite::training_ui
