#pragma once

#include "document/Document.h"
#include "settings/EffectControls.h"
#include "settings/ProgramOptions.h"
#include "settings/SettingsFile.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/TestPictures.h"
#include "tests/ui/MessageRecorder.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmPreview.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

// A document with a view picture and a different working picture, the two
// long-lived option dialogs and a preview dialog on them, in a temporary
// program folder holding the designed settings as "default.set". The file
// dialogs and the warning are answered by the test.
class PreviewFixture : public testing::Test {
protected:
    void SetUp() override { WriteSettingsFile(Folder.File(DefaultSetName), DesignedSettings()); }

    void Pictures(int width, int height)
    {
        Doc.ViewBitmap = PatternPicture(width, height, 1);
        Doc.SourceBitmap = PatternPicture(width / 2 + 1, height / 2 + 1, 2);
    }

    TFrmPreview& Make()
    {
        Preview = std::make_unique<TFrmPreview>(Doc, Options, SketchMore, ColorMore);
        Preview->OpenDialog = ColorMore.OpenDialog = [this](QWidget*, const TFileRequest& request) {
            Requests.push_back(request);
            return Answer;
        };
        Preview->SaveDialog = ColorMore.SaveDialog = Preview->OpenDialog;
        Preview->Confirm = ColorMore.Confirm = [this](QWidget*, const QString& caption, const QString& text) {
            Questions.push_back(caption + "|" + text);
            return ConfirmAnswer;
        };
        return *Preview;
    }

    TFrmPreview& Shown()
    {
        TFrmPreview& preview = Preview ? *Preview : Make();
        preview.show();
        Settle();
        return preview;
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static void Retype(QWidget* spin, const QString& text)
    {
        spin->setFocus();
        static_cast<TSpinEdit*>(spin)->selectAll();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, text);
    }

    void Answer_(const std::string& path) { Answer = TFileChoice{QString::fromStdString(path), 1}; }

    TTestFolder Folder;
    TMessageRecorder Messages;
    TDocument Doc;
    TProgramOptions Options;
    TFrmSketchMoreOption SketchMore;
    TFrmColorMoreOption ColorMore;
    std::unique_ptr<TFrmPreview> Preview;
    std::vector<TFileRequest> Requests;
    std::optional<TFileChoice> Answer;
    std::vector<QString> Questions;
    bool ConfirmAnswer = false;
};
