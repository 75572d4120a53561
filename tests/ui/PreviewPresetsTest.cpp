#include "tests/ui/PreviewFixture.h"

#include "settings/Presets.h"
#include "settings/ProgramDir.h"
#include "ui/RadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

#include <cstring>

namespace {

class PreviewPresets : public PreviewFixture {
protected:
    // Every control of the three dialogs that a preset holds, as shown.
    std::vector<int> Controls() const
    {
        std::vector<int> values;
        for (const TEffectControl& c : PreviewPairs)
            values.push_back(Preview->Pair(c.Name)->Value());
        values.insert(values.end(), {Preview->Chk_DrawSketch->isChecked(), Preview->Chk_DrawColor->isChecked(),
                                     SketchMore.RG_SketchType->ItemIndex(), SketchMore.Sharper->Value(),
                                     SketchMore.Chk_Remain->isChecked(), SketchMore.Threshold->Value(),
                                     SketchMore.Darkness->Value(), ColorMore.RG_ColorScaleColor->ItemIndex(),
                                     ColorMore.RG_SmoothType->ItemIndex(), ColorMore.RB_Multiply->isChecked(),
                                     ColorMore.RB_Overlay->isChecked(), ColorMore.Opacity->Value()});
        return values;
    }

    std::string WriteRecord(const char* name, const std::function<void(TEffectSettings&)>& change)
    {
        TEffectSettings s = DesignedSettings();
        change(s);
        const std::string path = Folder.File(name);
        EXPECT_TRUE(WriteSettingsFile(path, s));
        return path;
    }
};

} // namespace

TEST_F(PreviewPresets, SaveAndLoadGiveBackEveryControlButTheThreshold)
{
    Pictures(300, 200);
    TFrmPreview& preview = Shown();
    // Values unlike the designed ones, set as a user would.
    int v = 3;
    for (const TEffectControl& c : PreviewPairs)
        preview.Pair(c.Name)->Trc()->setValue(c.Min + (v += 5));
    preview.Chk_DrawColor->click();
    SketchMore.RG_SketchType->SetItemIndex(0);
    SketchMore.Chk_Remain->setChecked(true);
    SketchMore.Sharper->SetValueSilently(7);
    SketchMore.Threshold->SetValueSilently(30);
    SketchMore.Darkness->SetValueSilently(40);
    ColorMore.RG_ColorScaleColor->SetItemIndex(0);
    ColorMore.RG_SmoothType->SetItemIndex(1);
    ColorMore.RB_Overlay->setChecked(true);
    ColorMore.Opacity->SetValueSilently(70);
    preview.Pair("Threshold")->Trc()->setValue(9);
    const std::vector<int> saved = Controls();

    Answer_(Folder.File("mine"));
    preview.Btn_Save->click();
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Filters[0].Text, "Lumenquilla Config File(*.set)");
    EXPECT_EQ(Requests[0].Directory.toStdString(), ProgramDir());
    EXPECT_TRUE(Questions.empty());
    const std::string bytes = FileBytes(Folder.File("mine.set"));
    ASSERT_EQ(bytes.size(), 18430u) << "the default extension is added";
    EXPECT_EQ(bytes.substr(53, 4), std::string("\1\0\0\0", 4));
    EXPECT_EQ(std::uint8_t(bytes[18426]), 255 - 9);

    preview.LoadSettingsFile(QString::fromStdString(Folder.File(DefaultSetName)));
    preview.Pair("Threshold")->Trc()->setValue(20);
    EXPECT_NE(Controls(), saved);
    Answer_(Folder.File("mine.set"));
    preview.Btn_Load->click();
    std::vector<int> loaded = Controls();
    EXPECT_EQ(loaded[3], 20) << "the threshold is left as it was";
    loaded[3] = saved[3];
    EXPECT_EQ(loaded, saved);
    EXPECT_TRUE(ColorMore.Opacity->IsEnabled()) << "enabled for Overlay as a click does";
    EXPECT_TRUE(SketchMore.Threshold->IsEnabled());
}

TEST_F(PreviewPresets, StoredValuesAreShownAsTheControlsCanShowThem)
{
    Pictures(100, 100);
    TFrmPreview& preview = Make();
    struct TCase {
        const char* What;
        std::function<void(TEffectSettings&)> Change;
        std::function<bool()> Shows;
    };
    const std::vector<TCase> cases = {
        {"Detail 5000", [](TEffectSettings& s) { s.Detail = 5000; },
         [&] { return preview.Pair("Detail")->Value() == 1024 && preview.Pair("Detail")->Spn()->Text() == "1024"; }},
        {"Darkness 0", [](TEffectSettings& s) { s.Darkness = 0; },
         [&] { return preview.Pair("Darkness")->Value() == 1; }},
        {"Saturation -999", [](TEffectSettings& s) { s.Saturation = -999; },
         [&] { return preview.Pair("Saturation")->Value() == -127; }},
        {"sketch type 1", [](TEffectSettings& s) { s.SketchType = 1; },
         [&] { return SketchMore.RG_SketchType->Item(0)->isChecked(); }},
        {"sketch type 2", [](TEffectSettings& s) { s.SketchType = 2; },
         [&] { return SketchMore.RG_SketchType->Item(1)->isChecked(); }},
        {"sketch type 0 selects none", [](TEffectSettings& s) { s.SketchType = 0; },
         [&] { return SketchMore.RG_SketchType->ItemIndex() == -1; }},
        {"scale type 1", [](TEffectSettings& s) { s.ScaleType = 1; },
         [&] { return ColorMore.RG_ColorScaleColor->ItemIndex() == 0; }},
        {"blend 1 is Multiply", [](TEffectSettings& s) { s.BlendMode = 1; },
         [&] { return ColorMore.RB_Multiply->isChecked() && !ColorMore.Opacity->IsEnabled(); }},
        {"blend 5 is Overlay", [](TEffectSettings& s) { s.BlendMode = 5; },
         [&] { return ColorMore.RB_Overlay->isChecked() && ColorMore.Opacity->IsEnabled(); }},
        {"threshold untouched", [](TEffectSettings& s) { s.WhiteLevel = 0; },
         [&] { return preview.Pair("Threshold")->Value() == 0; }},
    };
    QSignalSpy sketchAsks(&SketchMore, &TFrmSketchMoreOption::RenderRequested);
    QSignalSpy colorAsks(&ColorMore, &TFrmColorMoreOption::RenderRequested);
    for (const TCase& c : cases) {
        preview.LoadSettingsFile(QString::fromStdString(WriteRecord("case.set", c.Change)));
        EXPECT_TRUE(c.Shows()) << c.What;
    }
    EXPECT_EQ(sketchAsks.count() + colorAsks.count(), 0) << "hidden option dialogs start nothing";
}

TEST_F(PreviewPresets, WithoutDefaultSetEverythingShowsTheAllZeroRecord)
{
    std::remove(Folder.File(DefaultSetName).c_str());
    Pictures(100, 100);
    TFrmPreview& preview = Make();
    for (const TEffectControl& c : PreviewPairs) {
        if (!c.StoresWhiteLevel) {
            EXPECT_EQ(preview.Pair(c.Name)->Value(), std::max(0, c.Min)) << c.Name;
        }
    }
    EXPECT_FALSE(preview.Chk_DrawSketch->isChecked());
    EXPECT_FALSE(preview.Chk_DrawColor->isChecked());
    EXPECT_EQ(SketchMore.RG_SketchType->ItemIndex(), -1);
    EXPECT_EQ(ColorMore.RG_ColorScaleColor->ItemIndex(), -1);
    EXPECT_EQ(ColorMore.RG_SmoothType->ItemIndex(), 0);
    EXPECT_TRUE(ColorMore.RB_Overlay->isChecked());
    EXPECT_EQ(ColorMore.Opacity->Value(), 1);

    ASSERT_TRUE(preview.SaveSettingsFile(QString::fromStdString(Folder.File("zero.set"))));
    TEffectSettings saved{};
    ASSERT_TRUE(ReadSettingsFile(Folder.File("zero.set"), saved));
    EXPECT_EQ(+saved.SketchType, 0);
    EXPECT_EQ(+saved.ScaleType, 0);
    EXPECT_EQ(+saved.BlendMode, EffectBlendOpacity);
}

TEST_F(PreviewPresets, OkAlwaysRewritesLastSet)
{
    PutFileBytes(Folder.File(LastSetName), "junk");
    Pictures(200, 150);
    TFrmPreview& preview = Shown();
    preview.Btn_Ok->click();
    TEffectSettings last{};
    ASSERT_EQ(FileBytes(Folder.File(LastSetName)).size(), 18430u);
    ASSERT_TRUE(ReadSettingsFile(Folder.File(LastSetName), last));
    EXPECT_EQ(std::memcmp(&last.Left, &preview.Settings().Left, sizeof last - 4), 0);
    EXPECT_EQ(+last.Detail, 115);
}

TEST_F(PreviewPresets, OverwritingTheShippedFilesAsksFirst)
{
    Pictures(200, 150);
    TFrmPreview& preview = Shown();
    const QString warning = "Warning|Are you sure you want to overwrite the default configuration file?";
    struct TCase {
        const char* File;
        QPushButton* Save;
    };
    for (const TCase& c : {TCase{DefaultSetName, preview.Btn_Save}, TCase{DefaultCtbName, ColorMore.BtnSave}}) {
        PutFileBytes(Folder.File(c.File), "shipped");
        Answer_(Folder.File(c.File));
        Questions.clear();
        ConfirmAnswer = false;
        c.Save->click();
        EXPECT_EQ(Questions, std::vector<QString>{warning}) << c.File;
        EXPECT_EQ(FileBytes(Folder.File(c.File)), "shipped") << c.File;
        ConfirmAnswer = true;
        c.Save->click();
        EXPECT_NE(FileBytes(Folder.File(c.File)), "shipped") << c.File;

        Questions.clear();
        Answer_(Folder.File(std::string("other-") + c.File));
        c.Save->click();
        EXPECT_TRUE(Questions.empty()) << c.File;
    }
    // The colours table file is the record's table, as a preset saved now holds it.
    const std::string set = FileBytes(Folder.File(DefaultSetName));
    EXPECT_EQ(FileBytes(Folder.File(DefaultCtbName)), set.substr(107, 18319));
}

TEST_F(PreviewPresets, TheRealWarningBoxCancelsTheSave)
{
    Pictures(200, 150);
    TFrmPreview& preview = Shown();
    preview.Confirm = ConfirmBox;
    PutFileBytes(Folder.File(DefaultSetName), "shipped");
    Answer_(Folder.File(DefaultSetName));
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + "|" + box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    preview.Btn_Save->click();
    EXPECT_EQ(seen, "Warning|Are you sure you want to overwrite the default configuration file?");
    EXPECT_EQ(FileBytes(Folder.File(DefaultSetName)), "shipped");
}

TEST_F(PreviewPresets, TheRealFileDialogsOfferTheFilterAndTheExtensionIsAdded)
{
    struct TCase {
        const TPresetKind& Kind;
        TFileDialogFunction Dialog;
        const char* Typed;
        const char* Expected;
    };
    const std::vector<TCase> cases = {
        {SettingsFileKind(), RunSaveDialog, "mine", "mine.set"},
        {SettingsFileKind(), RunSaveDialog, "mine.old", "mine.old"},
        {ColorTableFileKind(), RunSaveDialog, "table", "table.ctb"},
    };
    for (const TCase& c : cases) {
        QStringList filters;
        QString directory;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            directory = dialog->directory().absolutePath();
            dialog->selectFile(c.Typed);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        const std::optional<QString> path = AskPresetFile(c.Dialog, nullptr, c.Kind, "Save As");
        ASSERT_TRUE(path.has_value()) << c.Typed;
        EXPECT_EQ(*path, QString::fromStdString(Folder.File(c.Expected))) << c.Typed;
        EXPECT_EQ(filters, QStringList{NameFilterString(c.Kind.Filter)});
        EXPECT_EQ(directory.toStdString(), Folder.Path());
    }
}

// Installed, the program's folder is read-only: the dialogs start in the
// user's own presets folder, where OK wrote last.set, and offer the shipped
// presets in the side bar.
TEST_F(PreviewPresets, BesideAReadOnlyProgramTheDialogsStartInTheUsersPresetsFolder)
{
    const std::string program = Folder.File("missing-program-dir");
    OverrideProgramDir(program);
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", Folder.File("data").c_str(), 1);
    const QString presets = QString::fromStdString(Folder.File("data/lumenquilla/presets"));
    for (const TPresetKind* kind : {&SettingsFileKind(), &ColorTableFileKind()}) {
        TFileRequest asked;
        const TFileDialogFunction dialog = [&](QWidget*, const TFileRequest& request) {
            asked = request;
            return std::optional<TFileChoice>();
        };
        EXPECT_FALSE(AskPresetFile(dialog, nullptr, *kind, "Open"));
        EXPECT_EQ(asked.Directory, presets);
        EXPECT_EQ(asked.Places, (QStringList{presets, QString::fromStdString(program)}));
    }
    EXPECT_EQ(PresetPath("last"), (presets + "/last.set").toStdString());
    if (saved)
        ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    OverrideProgramDir(Folder.Path());
}

TEST_F(PreviewPresets, AFileThatCannotBeLoadedOrSavedSaysSoAndChangesNothing)
{
    Pictures(200, 150);
    TFrmPreview& preview = Shown();
    PutFileBytes(Folder.File("empty.set"), "");
    const std::string nowhere = Folder.File("no-such-folder/x");
    struct TCase {
        QPushButton* Button;
        std::string File;
        const char* Says;
    };
    for (const TCase& c : {TCase{preview.Btn_Load, Folder.File("empty.set"), "is empty"},
                           TCase{preview.Btn_Load, Folder.File("missing.set"), "could not be read."},
                           TCase{ColorMore.BtnLoad, Folder.File("missing.ctb"), "could not be read."},
                           TCase{preview.Btn_Save, nowhere + ".set", "could not be written."},
                           TCase{ColorMore.BtnSave, nowhere + ".ctb", "could not be written."}}) {
        const std::vector<int> before = Controls();
        const std::string table(reinterpret_cast<const char*>(preview.Settings().ColorTable), 40);
        Messages.Messages.clear();
        Answer_(c.File);
        c.Button->click();
        ASSERT_EQ(Messages.Messages.size(), 1) << c.File;
        EXPECT_TRUE(Messages.Messages[0].contains(c.Says)) << Messages.Messages[0].toStdString();
        EXPECT_EQ(Controls(), before) << c.File;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(preview.Settings().ColorTable), 40), table);
    }
}
