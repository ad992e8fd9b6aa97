// The formula fields of the reference dialogs and their reading as the user types.
#include "app/reference/formula_edit.h"

#include "core/reference/formula.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

using axolite::reference::FormulaDialect;

TFormulaEdit::TFormulaEdit(const char* id, int maxLength, const QString& allowed,
                           FormulaDialect dialect, QWidget* parent)
    : QLineEdit(parent), dialect_(dialect) {
    setObjectName(QString::fromLatin1(id));
    setMaxLength(maxLength);
    // The filter: a typed or pasted text with any other character is refused whole.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QLatin1Char('[') + QRegularExpression::escape(allowed) +
                           QStringLiteral("]*")),
        this));
    connect(this, &QLineEdit::textChanged, this, &TFormulaEdit::check);
}

QString TFormulaEdit::problemOf(const QString& text, FormulaDialect dialect) {
    const std::string bytes = text.toStdString();
    if (axolite::reference::Formula::parse(bytes, dialect)) {
        return {};
    }
    if (text.trimmed().isEmpty()) {
        return QStringLiteral("Формула не задана");
    }
    int depth = 0;
    for (int i = 0; i < text.size(); ++i) {
        depth += text[i] == u'(' ? 1 : text[i] == u')' ? -1 : 0;
        if (depth < 0) {
            return QStringLiteral("Лишняя закрывающая скобка в позиции %1").arg(i + 1);
        }
    }
    if (depth > 0) {
        return QStringLiteral("Не закрыто скобок: %1").arg(depth);
    }
    std::string lowered;
    if (!axolite::reference::syntax::prepare(bytes, dialect, lowered)) {
        return dialect == FormulaDialect::Activation
                   ? QStringLiteral("Недопустимый символ или имя функции (известны sin( cos( "
                                    "tg( ctg( exp()")
                   : QStringLiteral("Недопустимый символ или имя функции (известны sin( cos( "
                                    "tg( ctg( exp( sqrt()");
    }
    return QStringLiteral("Выражение не читается: пропущен операнд, число записано неверно или "
                          "после функции стоят лишние символы");
}

void TFormulaEdit::check() {
    problem_ = problemOf(text(), dialect_);
    if (problem_.isEmpty()) {
        setStyleSheet(QString());
        setToolTip(QString());
    } else {
        setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
        setToolTip(errorText_.isEmpty() ? problem_ : errorText_ + u'\n' + problem_);
    }
    emit checked(problem_);
}
