#pragma once

// A stand-in for the main window: the form controls the viewer and the large
// search dialog reach through the main window's search form, and the search
// request read from them.

#include "engine/SearchRequest.h"
#include "support/FakeRunHost.h"
#include "ui/main/MainForm.h"
#include "ui/main/MainSearchForm.h"
#include "ui/viewer/ViewerWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

class StandInMain : public QWidget, public MainForm, public SearchRequest {
public:
    StandInMain()
    {
        findBox = combo("findBox");
        replaceBox = combo("replaceBox");
        firstPartBox = combo("firstPartBox");
        secondPartBox = combo("secondPartBox");
        fuzzyReplaceBox = combo("fuzzyReplaceBox");
        caseSensitiveBox = check("caseSensitiveBox");
        wholeWordBox = check("wholeWordBox");
        regexBox = check("regexBox");
        normalOption = radio("normalOption");
        fuzzyOption = radio("fuzzyOption");
        normalOption->setChecked(true);
    }

    MainSearchForm form{this, *this};

    bool isFuzzy() const override { return fuzzyOption->isChecked(); }
    QString findText() const override { return findBox->currentText(); }
    QString replaceText() const override { return replaceBox->currentText(); }
    QString firstPart() const override { return firstPartBox->currentText(); }
    QString secondPart() const override { return secondPartBox->currentText(); }
    QString fuzzyReplace() const override { return fuzzyReplaceBox->currentText(); }
    bool isCaseSensitive() const override { return caseSensitiveBox->isChecked(); }
    bool isWholeWord() const override { return wholeWordBox->isChecked(); }
    bool isRegex() const override { return regexBox->isChecked(); }
    bool hasSubdirectories() const override { return false; }
    bool hasBackup() const override { return false; }
    bool isMinimizeWhileReplacing() const override { return false; }
    QString folderPath() const override { return {}; }
    int fileCount() const override { return 0; }
    QString fileName(int) const override { return {}; }
    bool isFileSelected(int) const override { return false; }
    QString filters() const override { return QStringLiteral("*.*"); }
    QString selectionCount() const override { return QStringLiteral("0 of 0"); }

private:
    template <typename T>
    T *named(const char *name)
    {
        auto widget = new T(this);
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    QComboBox *combo(const char *name)
    {
        auto box = named<QComboBox>(name);
        box->setEditable(true);
        return box;
    }
    QCheckBox *check(const char *name) { return named<QCheckBox>(name); }
    QRadioButton *radio(const char *name) { return named<QRadioButton>(name); }
};

/// A viewer wired to the stand-in main window, fake status bar and scripted dialogs.
struct ViewerHarness {
    StandInMain main;
    FakeMain status;
    FakeEvents events;
    ScriptedDialogs dialogs;
    RunContext ctx;
    std::unique_ptr<ViewerWindow> viewer;

    ViewerHarness()
    {
        ctx.requestSource = &main;
        ctx.main = &status;
        ctx.events = &events;
        ctx.dialogs = &dialogs;
        viewer = std::make_unique<ViewerWindow>(ctx, &main.form);
        ctx.viewer = viewer.get();
    }
};
