// The model dialog. Each kind keeps the texts typed on its tab, so switching tabs loses nothing;
// saving checks the code against the kind's range before anything is written.
#include "app/simulation/choose_model.h"

#include "app/gui/help_window.h"
#include "app/gui/leading_number.h"
#include "app/gui/notifier.h"
#include "app/gui/platform_dialogs.h"
#include "core/platform/folder_settings.h"
#include "core/platform/profile_file.h"
#include "render/transfer_function_painter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QVBoxLayout>

using axolite::MessageKind;
using axolite::simulation::ModelKind;

namespace {

constexpr int kFieldLength = 13;

const char* const kEditIds[4] = {"105", "101", "103", "112"};
const char* const kPictureIds[4] = {"109", "102", "110", "107"};
const QString kFilter = QStringLiteral("Модели нейронов (*.neu)");

ModelKind kindAt(int index) {
    return static_cast<ModelKind>(index);
}
int indexOf(ModelKind kind) {
    return static_cast<int>(kind);
}

// The picture control of one kind: paints with the transfer-function painter.
class TransferPicture : public QWidget {
public:
    TransferPicture(ModelKind kind, QWidget* parent)
        : QWidget(parent), kind_(kind), settings_(TransferPictureSettings::forKind(kind)) {
        setFixedSize(150, 110);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        TransferFunctionPainter::paint(painter, QRectF(rect()), kind_, settings_);
    }

private:
    ModelKind kind_;
    TransferPictureSettings settings_;
};

using axolite::gui::leadingNumber;

QString lowerCasePath(const QString& path) {
    return QString::fromStdString(axolite::platform::lowerCase(path.toStdString()));
}

std::filesystem::path toPath(const QString& path) {
    return axolite::platform::pathFromUtf8(path.toStdString());
}

// The range message of a kind when the code does not belong to it; empty when it does.
QString rangeRefusal(ModelKind kind, long long code) {
    const axolite::simulation::ModelKindRange& range = axolite::simulation::modelKindRange(kind);
    // Below the linear range nothing is refused: its first code is the default model's.
    if (code <= range.lastCode && (code >= range.firstCode || kind == ModelKind::Linear)) {
        return {};
    }
    switch (kind) {
    case ModelKind::Linear:
        return QStringLiteral("Код идентификации нейроноподобных элементов с линейной "
                              "передаточной функцией должен лежать в диапазоне от 1 до 200.");
    case ModelKind::Step:
        return QStringLiteral(
            "Код идентификации нейроноподобных элементов со  ступенчатой передаточной "
            "функцией должен лежать в диапазоне от 201 до 400.");
    case ModelKind::Sigmoid:
        return QStringLiteral(
            "Код идентификации нейроноподобных элементов с сигмовидной передаточной "
            "функцией должен лежать в диапазоне от 401 до 600.");
    case ModelKind::Gaussian:
        return QStringLiteral(
            "Код идентификации нейроноподобных элементов с передаточной функцией гауссова "
            "распределния должен лежать в диапазоне от 601 до 800.");
    }
    return {};
}

} // namespace

TChooseModel::TChooseModel(const axolite::platform::FolderSettings* folders, QWidget* parent)
    : QDialog(parent), folders_(folders) {
    setWindowTitle(QStringLiteral("Описание модели нейроноподобного элемента"));

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("108"));
    tabs_->addTab(QStringLiteral("Линейная "));
    tabs_->addTab(QStringLiteral("Ступенчатая"));
    tabs_->addTab(QStringLiteral("Сигмовидная"));
    tabs_->addTab(QStringLiteral("Гауссова"));
    tabs_->setDrawBase(true);

    createFields();
    QGroupBox* parameters = buildParameters();
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(new QLabel(QStringLiteral("Код идентификации :"), this));
    codeRow->addWidget(edits_[Code]);
    codeRow->addStretch();

    QVBoxLayout* buttons = buildButtons();

    auto* left = new QVBoxLayout;
    left->addWidget(tabs_);
    left->addWidget(parameters);
    left->addLayout(codeRow);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);

    // Set-up: the linear tab and its picture, every kind's slots holding the (empty) fields,
    // and nothing to save until the user types.
    tabs_->setCurrentIndex(indexOf(ModelKind::Linear));
    setShiftLabel(ModelKind::Linear);
    showPicture(ModelKind::Linear);
    for (int k = 0; k < 4; ++k) {
        storeFields(kindAt(k));
    }
    current_ = ModelKind::Linear;
    toFile_->setEnabled(false);
    connect(tabs_, &QTabBar::currentChanged, this, &TChooseModel::changeTab);
}

// The fields of the parameters and of the code, each with the characters it accepts.
void TChooseModel::createFields() {
    const auto* codeChars =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0123456789]*")), this);
    const auto* numberChars = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[-+0123456789.eE]*")), this);
    for (int f = 0; f < 4; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kEditIds[f]));
        edit->setMaxLength(kFieldLength);
        edit->setValidator(f == Code ? codeChars : numberChars);
        connect(edit, &QLineEdit::textEdited, this, &TChooseModel::markModified);
        edits_[f] = edit;
    }
}

// " Параметры передаточной функции": y1, x1 and xt beside the picture of the kind shown.
QGroupBox* TChooseModel::buildParameters() {
    auto* y1Label = new QLabel(QStringLiteral("y1 ="), this);
    y1Label->setObjectName(QStringLiteral("200"));
    auto* x1Label = new QLabel(QStringLiteral("x1 ="), this);
    x1Label->setObjectName(QStringLiteral("202"));
    shiftLabel_ = new QLabel(QStringLiteral("xt  ="), this);
    shiftLabel_->setObjectName(QStringLiteral("203"));

    auto* parameters = new QGroupBox(QStringLiteral(" Параметры передаточной функции"), this);
    auto* fields = new QGridLayout;
    fields->addWidget(y1Label, 0, 0);
    fields->addWidget(edits_[Y1], 0, 1);
    fields->addWidget(x1Label, 1, 0);
    fields->addWidget(edits_[X1], 1, 1);
    fields->addWidget(shiftLabel_, 2, 0);
    fields->addWidget(edits_[Xt], 2, 1);
    fields->setRowStretch(3, 1);
    auto* pictureBox = new QHBoxLayout;
    for (int k = 0; k < 4; ++k) {
        auto* picture = new TransferPicture(kindAt(k), parameters);
        picture->setObjectName(QString::fromLatin1(kPictureIds[k]));
        picture->setVisible(false);
        pictureBox->addWidget(picture);
        pictures_[k] = picture;
    }
    auto* parametersLayout = new QHBoxLayout(parameters);
    parametersLayout->addLayout(fields);
    parametersLayout->addLayout(pictureBox);
    return parameters;
}

// "Из файла ... ", "В файл ... ", "Закрыть" and "Помощь" in a column.
QVBoxLayout* TChooseModel::buildButtons() {
    fromFile_ = new QPushButton(QStringLiteral("Из файла ... "), this);
    fromFile_->setObjectName(QStringLiteral("104"));
    toFile_ = new QPushButton(QStringLiteral("В файл ... "), this);
    toFile_->setObjectName(QStringLiteral("106"));
    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("2"));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QStringLiteral("9"));
    for (QPushButton* b : {fromFile_, toFile_, closeButton, helpButton}) {
        b->setAutoDefault(false);
    }
    connect(fromFile_, &QPushButton::clicked, this, &TChooseModel::loadFromFile);
    connect(toFile_, &QPushButton::clicked, this, &TChooseModel::saveToFile);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (help_) {
            help_();
        } else {
            openHelp(0);
        }
    });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(fromFile_);
    buttons->addWidget(toFile_);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);
    return buttons;
}

QString TChooseModel::slotText(ModelKind kind, Field field) const {
    return slots_[indexOf(kind)][field];
}

void TChooseModel::markModified() {
    toFile_->setEnabled(true);
}

void TChooseModel::storeFields(ModelKind kind) {
    const int count = axolite::simulation::kindHasShift(kind) ? 4 : 3;
    for (int f = 0; f < count; ++f) {
        slots_[indexOf(kind)][f] = edits_[f]->text();
    }
}

void TChooseModel::loadFields(ModelKind kind) {
    for (int f = 0; f < 4; ++f) {
        edits_[f]->setText(slots_[indexOf(kind)][f]);
    }
}

void TChooseModel::setShiftLabel(ModelKind kind) {
    shiftLabel_->setText(axolite::simulation::kindHasShift(kind) ? QStringLiteral("xt  =")
                                                                 : QStringLiteral(" "));
}

void TChooseModel::showPicture(ModelKind kind) {
    for (int k = 0; k < 4; ++k) {
        pictures_[k]->setVisible(k == indexOf(kind));
    }
}

// The fields a kind uses are shown and enabled; the step kind has no Xt.
void TChooseModel::showKind(ModelKind kind) {
    setShiftLabel(kind);
    showPicture(kind);
    for (int f = 0; f < 4; ++f) {
        const bool used = f != Xt || axolite::simulation::kindHasShift(kind);
        edits_[f]->setVisible(used);
        edits_[f]->setEnabled(used);
    }
}

void TChooseModel::changeTab(int index) {
    if (index < 0 || index >= axolite::simulation::kModelKindCount) {
        return;
    }
    storeFields(current_);
    const ModelKind kind = kindAt(index);
    loadFields(kind);
    showKind(kind);
    current_ = kind;
}

void TChooseModel::selectKind(ModelKind kind) {
    tabs_->setCurrentIndex(indexOf(kind));
}

QString TChooseModel::initialFolder() const {
    if (folders_ == nullptr || !folders_->set) {
        return {};
    }
    return QString::fromStdString(folders_->models);
}

QString TChooseModel::chooseOpenPath(const QString& initialFolder) {
    QFileDialog dialog(this, QStringLiteral("Открыть"), initialFolder, kFilter);
    axolite::gui::prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("neu"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

QString TChooseModel::chooseSavePath(const QString& initialFolder, const QString& proposedName) {
    QFileDialog dialog(this, QStringLiteral("Сохранить как"), initialFolder, kFilter);
    axolite::gui::prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("neu"));
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

void TChooseModel::loadFromFile() {
    const QString path = chooseOpenPath(initialFolder());
    if (path.isEmpty()) {
        return;
    }
    const QString name = QFileInfo(path).completeBaseName();
    const long long number = leadingNumber(name);
    const QString damaged = QStringLiteral("Файл ") + lowerCasePath(path) +
                            QStringLiteral(" не существует или поврежден.");
    const QString openFailure = QStringLiteral("Ошибка при открытии файла ") + lowerCasePath(path);

    if (QString::localeAwareCompare(name, QStringLiteral("0")) < 0) {
        // A name before "0" that does not begin with a number names no model; one that
        // begins with a negative number names a code outside every range.
        Notifier::instance().show(MessageKind::Information, number == 0 ? damaged : openFailure,
                                  this);
        return;
    }
    const auto kind = axolite::simulation::modelKindOfCode(number);
    if (!kind) {
        Notifier::instance().show(MessageKind::Information, openFailure, this);
        return;
    }
    const auto texts = axolite::simulation::readModelTexts(toPath(path), *kind, kFieldLength);
    const bool anyValue =
        texts && std::any_of(texts->begin(), texts->end(), [](const auto& t) { return t; });
    if (!anyValue) {
        // Nothing of the kind in the file: say so instead of leaving the fields hidden.
        Notifier::instance().show(MessageKind::Information, damaged, this);
        return;
    }

    // What was typed on the tab being left is kept in its slots.
    storeFields(current_);
    for (int f = Y1; f <= Xt; ++f) {
        edits_[f]->setVisible(false);
        edits_[f]->setEnabled(false);
    }
    setShiftLabel(*kind);
    const int keyCount = axolite::simulation::kindHasShift(*kind) ? 4 : 3;
    for (int f = 0; f < keyCount; ++f) {
        const auto& value = (*texts)[f];
        if (!value) {
            continue;
        }
        const QString text = QString::fromStdString(*value);
        edits_[f]->setText(text);
        edits_[f]->setVisible(true);
        edits_[f]->setEnabled(true);
        slots_[indexOf(*kind)][f] = text;
    }
    {
        // Selecting the tab here must not run the tab change, which would reload the fields.
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(indexOf(*kind));
    }
    showPicture(*kind);
    current_ = *kind;
}

void TChooseModel::saveToFile() {
    const long long code = leadingNumber(edits_[Code]->text().left(3));
    if (code == 0) {
        Notifier::instance().show(
            MessageKind::Error,
            QStringLiteral("Файл 0.neu описывает модель нейрона, принимаемую по умолчанию"), this);
    }
    const QString refusal = rangeRefusal(current_, code);
    if (!refusal.isEmpty()) {
        Notifier::instance().show(MessageKind::Error, refusal, this);
        return;
    }
    const QString path =
        chooseSavePath(initialFolder(), edits_[Code]->text() + QStringLiteral(".neu"));
    if (path.isEmpty()) {
        return;
    }
    axolite::simulation::ModelTexts texts;
    for (int f = 0; f < 4; ++f) {
        texts.field(f) = edits_[f]->text().toStdString();
    }
    if (!axolite::simulation::writeModel(toPath(path), current_, texts)) {
        Notifier::instance().show(axolite::simulation::modelWriteFailure(toPath(path)), this);
    }
}
