#include "WindowHarness.h"

#include "dictionary/Dictionary.h"
#include "shell/Features.h"

#include "platform/web/HtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "shell/window/Module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

const char* const kShippedFiles[] = {"htmlhead.txt", "htmlheadwords.txt", "sound.jpg", "start.jpg", "userblank.wav"};

}  // namespace

void stageProgramFolder(const QString& destination)
{
    namespace fs = std::filesystem;
    const fs::path staged = LEXBAY_APP_DIR;
    const fs::path folder = destination.toStdString();
    fs::copy(staged / "books", folder / "books", fs::copy_options::recursive);
    fs::copy(staged / "icons", folder / "icons", fs::copy_options::recursive);
    for (const char* file : kShippedFiles)
        fs::copy_file(staged / file, folder / file);
}

WindowHarness::WindowHarness(const std::function<void(const QString& folder)>& prepare, const QString& ownBooks,
                             const std::function<void(Platform&)>& adjust)
{
    stageProgramFolder(dir_.path());
    if (prepare)
        prepare(dir_.path());

    previousFolder_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    Module1::sAppPath = dir_.path();

    Platform platform;
    platform.makeHtmlView = [this] {
        auto view = std::make_unique<FakeHtmlView>();
        views_.push_back(view.get());
        return view;
    };
    auto player = std::make_unique<FakeMediaPlayer>();
    player_ = player.get();
    platform.mePlayer = std::move(player);
    auto reviewPlayer = std::make_unique<FakeMediaPlayer>();
    reviewPlayer_ = reviewPlayer.get();
    platform.reviewPlayer = std::move(reviewPlayer);
    auto recorder = std::make_unique<FakeWaveDevice>();
    recorder_ = recorder.get();
    platform.mciRecorder = std::move(recorder);
    auto wavePlayer = std::make_unique<FakeWaveDevice>();
    wavePlayer_ = wavePlayer.get();
    platform.mciPlayer = std::move(wavePlayer);
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    boxes_ = boxes.get();
    platform.messageBoxes = std::move(boxes);
    platform.library = std::make_unique<CourseLibrary>(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    platform.settingsFile = settingsFile();
    platform.studyRecordFile = folder() + "/record/study.sqlite";
    platform.dictionaryFile = dictionaryFile(LEXBAY_APP_DIR);
    if (!ownBooks.isEmpty())
        platform.ownBooks = dir_.path() + "/" + ownBooks;
    player_->setDurationForNextFile(kRecordingSeconds);
    if (adjust)
        adjust(platform);
    form_ = std::make_unique<MainForm>(std::move(platform));
    plugInFeatures(*form_);
}

WindowHarness::~WindowHarness()
{
    form_.reset();
    QDir::setCurrent(previousFolder_);
}

MainForm& WindowHarness::load()
{
    form_->Form_Load();
    settle();
    return *form_;
}

QString WindowHarness::colourOf(const QString& id)
{
    auto doc = content().document();
    HtmlElement* element = doc ? doc->itemById(id) : nullptr;
    return element != nullptr ? element->styleColor() : QString("(no element %1)").arg(id);
}

void WindowHarness::settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void writeSettings(const QString& file, const std::vector<std::pair<QString, QString>>& values)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup("Options");
    for (const auto& [key, value] : values)
        settings.setValue(key, value);
}

void setSentenceLength(MainForm& form, int n, double seconds)
{
    std::vector<double> times = form.session().sentenceTimes();
    times.at(n + 1) = times.at(n) + seconds;
    form.session().setSentenceTimes(times);
}
