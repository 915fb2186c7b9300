#include "AboutDialog.h"

#include "ScrivlaneVersion.h"
#include "platform/Dialogs.h"
#include "ui/UiImages.h"

#include <QAction>
#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace {
const QColor Navy(0, 0, 128);
const QColor BrightBlue(0, 0, 255);

// The wanted face where it is installed, else the platform's face of that kind.
QFont face(const QString &family, const QString &fallback, qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({family, fallback});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QLabel *newLabel(const char *name, const QString &text, QWidget *parent = nullptr)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
}  // namespace

AboutDialog::AboutDialog(Dialogs &dialogs, QWidget *parent, UrlOpener opener)
    : QDialog(parent), m_dialogs(dialogs), m_opener(std::move(opener))
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral(" About..."));
    setWindowIcon(UiImages::applicationIcon());
    if (!m_opener)
        m_opener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    // The name twice, the grey one a little lower and to the right: a shadow.
    auto *name = new QWidget;
    const QFont nameFont =
        face(QStringLiteral("Times New Roman"), QStringLiteral("serif"), 26, true);
    QLabel *shadow = newLabel("productShadowLabel", QStringLiteral("Scrivlane"), name);
    QLabel *product = newLabel("productLabel", QStringLiteral("Scrivlane"), name);
    for (QLabel *label : {shadow, product}) label->setFont(nameFont);
    shadow->setStyleSheet(QStringLiteral("color: #9aa5b1"));
    product->setStyleSheet(QStringLiteral("color: #1f4e8c"));
    shadow->move(2, 2);
    name->setMinimumSize(product->sizeHint() + QSize(2, 2));

    auto *picture = new QWidget;
    picture->setObjectName(QStringLiteral("animationArea"));
    picture->setFocusPolicy(Qt::StrongFocus);
    m_picture = picture;
    auto *pictureLayout = new QGridLayout(picture);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        QLabel *frame = newLabel("animationFrame", QString());
        frame->setProperty("Index", i);
        frame->setPixmap(UiImages::aboutFrame(i));
        frame->setVisible(i == 0);
        pictureLayout->addWidget(frame, 0, 0);
        animationFrames << frame;
    }

    QLabel *description = newLabel("descriptionLabel", QString());
    QLabel *versionCaption = newLabel("versionCaptionLabel", QStringLiteral("Version"));
    QLabel *version = newLabel("versionLabel", QStringLiteral(SCRIVLANE_VERSION));
    QLabel *buildCaption = newLabel("buildCaptionLabel", QStringLiteral("Last build:"));
    QLabel *build = newLabel("buildLabel", buildDate());
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (QLabel *label : {versionCaption, version, buildCaption, build}) label->setFont(small);
    QLabel *website =
        newLabel("websiteCaptionLabel", QStringLiteral("Be sure to check out my website:"));
    websiteLink = newLabel("websiteLink", homePage().toString());
    websiteLink->setCursor(Qt::PointingHandCursor);
    QFont linkFont = websiteLink->font();
    linkFont.setUnderline(true);
    websiteLink->setFont(linkFont);
    setLinkHot(false);
    websiteLink->installEventFilter(this);

    const QFont comic = face(QStringLiteral("Comic Sans MS"), QStringLiteral("cursive"), 9, false);
    QLabel *decoration1 = newLabel("thanksLabel", QStringLiteral("Thanks for using it!"));
    QLabel *decoration2 = newLabel("happyLabel", QStringLiteral("Happy replacing."));
    for (QLabel *label : {decoration1, decoration2}) label->setFont(comic);

    closeBar = new QToolBar(QStringLiteral("Band1"));
    closeBar->setObjectName(QStringLiteral("closeBar"));
    closeBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction *exit = closeBar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                        QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("exit"));
    connect(closeBar, &QToolBar::actionTriggered, this, [this] {
        m_picture->setFocus();
        accept();
    });

    animationTimer = new QTimer(this);
    animationTimer->setObjectName(QStringLiteral("animationTimer"));
    animationTimer->setInterval(125);
    connect(animationTimer, &QTimer::timeout, this, &AboutDialog::nextAnimationFrame);

    auto *head = new QHBoxLayout;
    head->addWidget(picture);
    auto *titles = new QVBoxLayout;
    titles->addWidget(name);
    titles->addWidget(description);
    head->addLayout(titles, 1);
    auto *facts = new QGridLayout;
    facts->addWidget(versionCaption, 0, 0);
    facts->addWidget(version, 0, 1);
    facts->addWidget(buildCaption, 1, 0);
    facts->addWidget(build, 1, 1);
    facts->setColumnStretch(2, 1);
    auto *foot = new QHBoxLayout;
    foot->addWidget(decoration1);
    foot->addStretch(1);
    foot->addWidget(closeBar);
    auto *column = new QVBoxLayout(this);
    column->addLayout(head);
    column->addLayout(facts);
    column->addWidget(website);
    // As wide as its text: the link reacts only where its words are.
    column->addWidget(websiteLink, 0, Qt::AlignLeft);
    column->addWidget(decoration2);
    column->addLayout(foot);
    // The description.
    description->setText(
        QStringLiteral("Scrivlane is a handy utility used\n"
                       "for replacing multiple strings of data quickly."));
    setFixedSize(sizeHint());
    animationTimer->start();
}

QUrl AboutDialog::homePage()
{
    return QUrl(QStringLiteral(SCRIVLANE_HOMEPAGE));
}

QString AboutDialog::buildDate()
{
    // __DATE__ is "Mmm dd yyyy" with a blank before a one-digit day.
    const QString compiled = QString::fromLatin1(__DATE__).simplified();
    const QDate date = QLocale::c().toDate(compiled, QStringLiteral("MMM d yyyy"));
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

void AboutDialog::nextAnimationFrame()
{
    m_counter = m_counter == 4 ? 1 : m_counter + 1;
    for (QLabel *frame : std::as_const(animationFrames)) frame->hide();
    animationFrames[m_counter - 1]->show();
}

void AboutDialog::openWebsite()
{
    const QUrl url = homePage();
    if (!m_opener(url))
        m_dialogs.message(QStringLiteral("The web page could not be opened:\n") + url.toString(),
                          QStringLiteral(" Error"), MessageButtons::Ok, MessageIcon::Error);
}

void AboutDialog::setLinkHot(bool hot)
{
    QPalette palette = websiteLink->palette();
    palette.setColor(QPalette::WindowText, hot ? BrightBlue : Navy);
    websiteLink->setPalette(palette);
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == websiteLink) {
        switch (event->type()) {
        case QEvent::Enter:
            setLinkHot(true);
            break;
        case QEvent::Leave:
            setLinkHot(false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
                websiteLink->rect().contains(
                    static_cast<QMouseEvent *>(event)->position().toPoint()))
                openWebsite();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
