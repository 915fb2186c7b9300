#pragma once

#include <QtGlobal>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class QWidget;
class DocumentBuffer;

/// The viewer's controls and their places. The window inherits them as it would
/// a designer form and wires them itself.
class ViewerForm {
public:
    /// Builds the controls into window; buildTools fills the two tool holders
    /// (the menus and the move bar) at their place in the focus order.
    void setupUi(QMainWindow *window, const std::function<void()> &buildTools);
    /// Small enough for a small screen at a large scale, large enough that no
    /// control is cut off.
    void setSmallestSize();
    /// Places every control for the central area's size; findWidth (twips) is
    /// the find box's share of its row.
    void placeControls(int findWidth);

    QWidget *centralArea = nullptr;
    QWidget *menuHolder = nullptr;
    QWidget *moveBarHolder = nullptr;
    QMenuBar *viewerMenus = nullptr;
    QMenu *fileMenu = nullptr;
    QMenu *formatMenu = nullptr;
    QMenu *searchMenu = nullptr;
    QToolBar *moveBar = nullptr;
    QMenu *listMenu = nullptr;
    QListWidget *documentList = nullptr;
    /// The shown document (buffer() holds its bytes).
    QPlainTextEdit *documentEdit = nullptr;
    /// heldDocument: the text as last loaded (or saved); never shown.
    DocumentBuffer *heldDocument = nullptr;
    QFrame *fileInfoFrame = nullptr;
    QLabel *totalFilesLabel = nullptr;
    QLabel *fileIndexLabel = nullptr;
    QLabel *foundPosLabel = nullptr;
    QLabel *fileDateLabel = nullptr;
    QLabel *fileLengthLabel = nullptr;
    QComboBox *viewerFindBox = nullptr;
    QComboBox *viewerSecondPartBox = nullptr;
    QComboBox *viewerReplaceBox = nullptr;
    QPushButton *largeFindButton = nullptr;
    QPushButton *largeReplaceButton = nullptr;
    QCheckBox *resizeBox = nullptr;

private:
    int menusWidth() const;
};
