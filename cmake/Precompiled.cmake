# Precompiled headers: the Qt and standard headers most files include, parsed
# once per kind of target instead of once per file. The first target of a kind
# builds them and every later one reuses its result, so all targets of a kind
# must share their compile definitions and flags (scrivlane_target_options and
# scrivlane_add_test see to that). The two programs' few files go without: the
# ui library's private Qt Network definition would not match theirs.
option(SCRIVLANE_PCH "Precompile the Qt headers" ON)

set(scrivlane_pch_core
    <QByteArray> <QByteArrayView> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QLocale> <QObject> <QSet> <QString> <QStringList> <QStringView> <QUrl> <QtGlobal>
    <algorithm> <functional> <memory> <optional> <utility> <vector>)
set(scrivlane_pch_widgets
    ${scrivlane_pch_core}
    <QAction> <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QDialog> <QEvent>
    <QGridLayout> <QKeyEvent> <QLabel> <QLineEdit> <QListWidget> <QMainWindow> <QMenu>
    <QPlainTextEdit> <QPushButton> <QRadioButton> <QStyle> <QToolBar> <QWidget>)
set(scrivlane_pch_test ${scrivlane_pch_core} <QtTest> <QTemporaryDir>)
set(scrivlane_pch_testwidgets ${scrivlane_pch_widgets} <QtTest> <QTemporaryDir>)

# scrivlane_precompiled(target core|widgets|test|testwidgets)
function(scrivlane_precompiled target kind)
  if(NOT SCRIVLANE_PCH)
    return()
  endif()
  get_property(owner GLOBAL PROPERTY scrivlane_pch_owner_${kind})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE ${scrivlane_pch_${kind}})
    set_property(GLOBAL PROPERTY scrivlane_pch_owner_${kind} ${target})
  endif()
  # What ccache needs to cache the header and the files using it.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fpch-preprocess)
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE "SHELL:-Xclang -fno-pch-timestamp")
  endif()
endfunction()
