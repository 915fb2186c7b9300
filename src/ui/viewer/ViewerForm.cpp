#include "ViewerForm.h"

#include "ViewerFileInfo.h"
#include "ui/HistoryBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolBar>

#include <algorithm>

namespace {

int px(int twips)
{
    return twips / 15;
}

int twips(int pixels)
{
    return pixels * 15;
}

}  // namespace

void ViewerForm::setupUi(QMainWindow *window, const std::function<void()> &buildTools)
{
    centralArea = new QWidget(window);
    centralArea->setObjectName(QStringLiteral("centralArea"));
    window->setCentralWidget(centralArea);

    menuHolder = new QWidget(centralArea);
    menuHolder->setObjectName(QStringLiteral("menuHolder"));
    moveBarHolder = new QWidget(centralArea);
    moveBarHolder->setObjectName(QStringLiteral("moveBarHolder"));
    buildTools();

    viewerFindBox = new QComboBox(centralArea);
    viewerFindBox->setObjectName(QStringLiteral("viewerFindBox"));
    viewerSecondPartBox = new QComboBox(centralArea);
    viewerSecondPartBox->setObjectName(QStringLiteral("viewerSecondPartBox"));
    viewerReplaceBox = new QComboBox(centralArea);
    viewerReplaceBox->setObjectName(QStringLiteral("viewerReplaceBox"));
    for (QComboBox *box : {viewerFindBox, viewerSecondPartBox, viewerReplaceBox})
        HistoryBox::setUp(box);

    largeFindButton = new QPushButton(QStringLiteral("..."), centralArea);
    largeFindButton->setObjectName(QStringLiteral("largeFindButton"));
    largeReplaceButton = new QPushButton(QStringLiteral("..."), centralArea);
    largeReplaceButton->setObjectName(QStringLiteral("largeReplaceButton"));

    documentList = new QListWidget(centralArea);
    documentList->setObjectName(QStringLiteral("documentList"));
    documentList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Thousands of found paths: measure them a batch at a time after the run
    // instead of all at once when the viewer shows.
    documentList->setLayoutMode(QListView::Batched);

    fileInfoFrame = new QFrame(centralArea);
    fileInfoFrame->setObjectName(QStringLiteral("fileInfoFrame"));
    fileInfoFrame->setFrameShape(QFrame::StyledPanel);
    auto addInfo = [this](const QString &caption, const QString &name, int row) {
        auto title = new QLabel(caption, fileInfoFrame);
        title->setGeometry(px(120), px(300 + row * 330), px(1700), px(300));
        auto value = new QLabel(fileInfoFrame);
        value->setObjectName(name);
        value->setGeometry(px(1850), px(300 + row * 330), px(2250), px(300));
        return value;
    };
    auto frameTitle = new QLabel(QStringLiteral("File Info:"), fileInfoFrame);
    frameTitle->move(px(120), px(30));
    totalFilesLabel = addInfo(QStringLiteral("Total Files:"), QStringLiteral("totalFilesLabel"), 0);
    fileIndexLabel =
        addInfo(QStringLiteral("Current File Index:"), QStringLiteral("fileIndexLabel"), 1);
    foundPosLabel = addInfo(QStringLiteral("Position Found:"), QStringLiteral("foundPosLabel"), 2);
    fileDateLabel = addInfo(QStringLiteral("File Date:"), QStringLiteral("fileDateLabel"), 3);
    fileLengthLabel = addInfo(QStringLiteral("File Length:"), QStringLiteral("fileLengthLabel"), 4);
    fileInfoFrame->resize(px(4200), px(2100));
    ViewerFileInfo::fitLabels(fileInfoFrame, {totalFilesLabel, fileIndexLabel, foundPosLabel,
                                              fileDateLabel, fileLengthLabel});

    resizeBox = new QCheckBox(QStringLiteral("Resize txtbox"), centralArea);
    resizeBox->setObjectName(QStringLiteral("resizeBox"));
    resizeBox->hide();

    documentEdit = new QPlainTextEdit(centralArea);
    documentEdit->setObjectName(QStringLiteral("documentEdit"));
}

int ViewerForm::menusWidth() const
{
    // The menu bar's size hint is that of one item: lay all out on a wide bar
    // (the resize event is sent by hand, the bar is not shown yet) and measure.
    const QSize size = viewerMenus->size();
    const QSize wide(px(100000), size.height());
    viewerMenus->resize(wide);
    QResizeEvent wideEvent(wide, size);
    QCoreApplication::sendEvent(viewerMenus, &wideEvent);
    int right = 0;
    for (QAction *menu : viewerMenus->actions())
        right = qMax(right, viewerMenus->actionGeometry(menu).right() + 1);
    viewerMenus->resize(size);
    QResizeEvent backEvent(size, wide);
    QCoreApplication::sendEvent(viewerMenus, &backEvent);
    const QWidget *corner = viewerMenus->cornerWidget(Qt::TopRightCorner);
    return right + (corner ? corner->sizeHint().width() : 0) + px(300);
}

void ViewerForm::setSmallestSize()
{
    // Side by side: the menus and the move bar; the find row; the list and the
    // file information. Below them the document keeps room for a few lines.
    const int bars = menusWidth() + qMax(px(2200), moveBar->sizeHint().width()) + px(150);
    const int boxes = px(100 + 2370 + 40 + 400 + 200 + 2370 + 40 + 400 + 100);
    const int lists = fileInfoFrame->width() + px(100 + 125 + 200 + 1500);
    const int lines =
        documentEdit->fontMetrics().lineSpacing() * 6 + 2 * documentEdit->frameWidth();
    centralArea->setMinimumSize(std::max({bars, boxes, lists}), px(3600) + lines);
}

void ViewerForm::placeControls(int findWidth)
{
    if (!centralArea)
        return;
    const int width = twips(centralArea->width());
    const int height = twips(centralArea->height());

    // Wide enough for all five tools whatever the style's icon size, so none
    // hides behind an overflow arrow.
    const int moveWidth = qMax(px(2200), moveBar->sizeHint().width());
    moveBarHolder->setGeometry(px(width - 150) - moveWidth, 0, moveWidth, px(480));
    moveBar->setGeometry(0, 0, moveWidth, px(480));
    menuHolder->setGeometry(0, 0, qMax(0, moveBarHolder->x()), px(480));
    viewerMenus->setGeometry(0, 0, menuHolder->width(), px(480));

    int x = px(100);
    const int top = px(540);
    viewerFindBox->setGeometry(x, top, px(findWidth), px(330));
    if (findWidth < 2370)
        viewerSecondPartBox->setGeometry(x + px(findWidth + 60), top, px(2370 - findWidth - 60),
                                         px(330));
    x += px(2370 + 40);
    largeFindButton->setGeometry(x, top, px(400), px(330));
    x += px(400 + 200);
    viewerReplaceBox->setGeometry(x, top, px(2370), px(330));
    x += px(2370 + 40);
    largeReplaceButton->setGeometry(x, top, px(400), px(330));

    const int frameWidth = twips(fileInfoFrame->width());
    const int frameLeft = width - frameWidth - 200;
    if (frameLeft > 0)
        fileInfoFrame->move(px(frameLeft), px(990));
    const int listLeft = 100;
    const int listWidth = frameLeft - listLeft - 125;
    if (listWidth > 0)
        documentList->setGeometry(px(listLeft), px(990), px(listWidth), fileInfoFrame->height());

    int docTop = 0;
    int docHeight = 0;
    if (resizeBox->isChecked()) {
        // Below the find and replace boxes, which stay in view.
        docTop = twips(top) + 330 + 75;
        docHeight = height - docTop - 425;
    } else {
        docTop = twips(documentList->y() + documentList->height()) + 75;
        docHeight = height - 3600;
    }
    if (width - 225 > 0 && docHeight > 0)
        documentEdit->setGeometry(px(100), px(docTop), px(width - 225), px(docHeight));
    documentEdit->raise();
    documentEdit->viewport()->update();
}
