#include "ViewerMainControls.h"

#include "engine/RunContext.h"
#include "engine/SearchRequest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

ViewerMainControls::ViewerMainControls(QWidget *mainWindow, const RunContext &ctx)
    : m_window(mainWindow), m_ctx(ctx)
{
}

QComboBox *ViewerMainControls::combo(const char *name) const
{
    return m_window ? m_window->findChild<QComboBox *>(QString::fromLatin1(name)) : nullptr;
}

QString ViewerMainControls::text(const char *name) const
{
    const QComboBox *box = combo(name);
    return box ? box->currentText() : QString();
}

bool ViewerMainControls::isChecked(const char *name) const
{
    const QCheckBox *box =
        m_window ? m_window->findChild<QCheckBox *>(QString::fromLatin1(name)) : nullptr;
    return box && box->isChecked();
}

std::optional<bool> ViewerMainControls::toggle(const char *name)
{
    QCheckBox *box =
        m_window ? m_window->findChild<QCheckBox *>(QString::fromLatin1(name)) : nullptr;
    if (!box)
        return std::nullopt;
    // click() rather than setChecked(), so that the main window stores the option.
    const bool wasChecked = box->isChecked();
    box->click();
    if (box->isChecked() == wasChecked)
        box->setChecked(!wasChecked);
    return !wasChecked;
}

bool ViewerMainControls::isFuzzy() const
{
    if (m_window) {
        if (auto fuzzy = m_window->findChild<QRadioButton *>(QStringLiteral("fuzzyOption")))
            return fuzzy->isChecked();
    }
    return m_ctx.request && m_ctx.request->isFuzzy();
}
