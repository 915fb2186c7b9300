#include "PatternMark.h"

#include "MainForm.h"
#include "engine/Validation.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {
// A red tint of the box's own colour, so it reads on light and dark themes alike.
QColor tinted(const QColor &base)
{
    const QColor red(220, 50, 47);
    constexpr double kShare = 0.3;
    return QColor::fromRgbF(float(base.redF() * (1 - kShare) + red.redF() * kShare),
                            float(base.greenF() * (1 - kShare) + red.greenF() * kShare),
                            float(base.blueF() * (1 - kShare) + red.blueF() * kShare));
}
}  // namespace

PatternMark::PatternMark(MainForm &form, QObject *parent) : QObject(parent), m_form(form)
{
    m_plain = m_form.findBox->lineEdit()->palette();
    connect(m_form.findBox, &QComboBox::editTextChanged, this, &PatternMark::update);
    for (QAbstractButton *option : {static_cast<QAbstractButton *>(m_form.regexBox),
                                    static_cast<QAbstractButton *>(m_form.caseSensitiveBox),
                                    static_cast<QAbstractButton *>(m_form.wholeWordBox),
                                    static_cast<QAbstractButton *>(m_form.fuzzyOption)})
        connect(option, &QAbstractButton::toggled, this, &PatternMark::update);
}

void PatternMark::update()
{
    const QString text = m_form.findBox->currentText();
    const bool regex = m_form.regexBox->isChecked() && !m_form.fuzzyOption->isChecked();
    // An empty box is refused for being empty, not as a pattern.
    const QString problem = regex && !text.isEmpty()
                                ? regexProblem(text, m_form.caseSensitiveBox->isChecked(),
                                               m_form.wholeWordBox->isChecked())
                                : QString();
    QLineEdit *edit = m_form.findBox->lineEdit();
    if (problem.isEmpty()) {
        if (m_marked) {
            edit->setPalette(m_plain);
            m_form.findBox->setToolTip(QString());
            m_marked = false;
        }
        return;
    }
    if (!m_marked)
        m_plain = edit->palette();
    QPalette marked = m_plain;
    marked.setColor(QPalette::Base, tinted(m_plain.color(QPalette::Base)));
    edit->setPalette(marked);
    m_form.findBox->setToolTip(problem);
    m_marked = true;
}
