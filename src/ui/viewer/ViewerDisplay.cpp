#include "ViewerDisplay.h"

#include "settings/SettingsStore.h"

#include <QAction>
#include <QFontDialog>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QStyle>

namespace {

const QString kWordWrapKey = QStringLiteral("Software\\Scrivlane\\Word Wrap");
const QString kFontsKey = QStringLiteral("Software\\Scrivlane\\Fonts");

}  // namespace

ViewerDisplay::ViewerDisplay(QPlainTextEdit *document, QAction *wrapTool)
    : m_document(document), m_wrapTool(wrapTool)
{
    applyRightMargin();
}

void ViewerDisplay::setRightMargin(int twips)
{
    m_rightMargin = twips;
    applyRightMargin();
}

void ViewerDisplay::applyRightMargin()
{
    // 0 wraps at the window's edge; any other margin is far beyond it: no wrap.
    m_document->setLineWrapMode(m_rightMargin == 0 ? QPlainTextEdit::WidgetWidth
                                                   : QPlainTextEdit::NoWrap);
    if (m_wrapTool) {
        m_wrapTool->setIcon(m_document->style()->standardIcon(
            m_rightMargin == 0 ? QStyle::SP_DialogYesButton : QStyle::SP_DialogNoButton));
        m_wrapTool->setData(wordWrapPicture());
        m_wrapTool->setChecked(m_rightMargin == 0);
    }
}

QString ViewerDisplay::wordWrapPicture() const
{
    return m_rightMargin == 0 ? QStringLiteral("on") : QStringLiteral("off");
}

void ViewerDisplay::toggleWordWrap()
{
    const bool turnOn = m_rightMargin == NoWrapMargin;
    setRightMargin(turnOn ? 0 : NoWrapMargin);
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER, kWordWrapKey,
                               QStringLiteral("Word Wrap"),
                               turnOn ? QStringLiteral("True") : QStringLiteral("False"));
    // Re-wrap only: reloading the file from disk would throw away unsaved typing.
    m_document->viewport()->update();
}

void ViewerDisplay::applySettings()
{
    const QString wrap =
        SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, kWordWrapKey,
                                  QStringLiteral("Word Wrap"), QStringLiteral("False"));
    bool isNumber = false;
    const int number = wrap.trimmed().toInt(&isNumber);
    const bool on = isNumber
                        ? number != 0
                        : wrap.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    setRightMargin(on ? 0 : NoWrapMargin);

    QFont font = m_document->font();
    const QString name =
        SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, kFontsKey,
                                  QStringLiteral("Fontname"), QStringLiteral("Courier New"));
    if (!name.isEmpty()) {
        font.setFamilies({name, QStringLiteral("monospace")});
        font.setStyleHint(QFont::Monospace);
    }
    const QString size = SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, kFontsKey,
                                                   QStringLiteral("Fontsize"), QStringLiteral("8"));
    const double points = size.toDouble();
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(false);
    m_document->setFont(font);
}

void ViewerDisplay::stepFont(int points)
{
    QFont font = m_document->font();
    const qreal size = font.pointSizeF() + points;
    if (size < 1)
        return;
    font.setPointSizeF(size);
    m_document->setFont(font);
}

void ViewerDisplay::chooseFont(QWidget *dialogParent)
{
    // The dialog preselects by family and style name: handed the font asked for,
    // a family that is not installed, or a style it names otherwise, would
    // preselect another, and OK alone would change the font. It gets the font
    // in use.
    const QFontInfo used(m_document->font());
    QFont offered(used.family());
    offered.setStyleName(used.styleName());
    offered.setPointSizeF(used.pointSizeF());
    QFontDialog dialog(dialogParent);
    dialog.setCurrentFont(offered);
    const QFont preselected = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog knows whole points only: untouched, it keeps a size of 9.5.
    if (dialog.selectedFont() != preselected)
        m_document->setFont(dialog.selectedFont());
}
