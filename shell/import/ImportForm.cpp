#include "shell/import/ImportForm.h"

#include "course/Bookshelf.h"
#include "platform/analysis/VideoTracks.h"
#include "shell/window/WidgetMaking.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

const char* const kAudioFilter = "录音 (*.mp3 *.wav *.ogg *.opus *.m4a *.aac *.flac *.mp4 *.mkv *.webm);;所有文件 (*)";
const char* const kTextFilter = "课文或字幕 (*.txt *.srt *.vtt *.ass *.ssa *.lrc);;所有文件 (*)";
const char* const kSubtitleFilter = "字幕 (*.srt *.vtt *.ass *.ssa *.lrc);;所有文件 (*)";
// Offered when the learner has no volume of their own yet.
const char* const kFirstOwnVolume = "我的课本";

}  // namespace

ImportForm::ImportForm(const QString& ownBooks, const QString& shippedBooks, const QString& programFolder,
                       const QString& volume, QWidget* parent)
    : QDialog(parent), ownBooks_(ownBooks), shippedBooks_(shippedBooks), programFolder_(programFolder)
{
    setObjectName("ImportForm");
    setWindowTitle("导入课程");
    txtAudio = named(new QLineEdit(this), "txtAudio");
    txtText = named(new QLineEdit(this), "txtText");
    cbImportVolume = named(new QComboBox(this), "cbImportVolume");
    cbImportVolume->setEditable(true);
    lbVolumeProblem = named(new QLabel(this), "lbVolumeProblem");
    lbVolumeProblem->setStyleSheet("color: #b00020");
    txtTitle = named(new QLineEdit(this), "txtTitle");
    cbTextTrack = named(new QComboBox(this), "cbTextTrack");
    txtTranslation = named(new QLineEdit(this), "txtTranslation");
    chkCopyVideo = named(new QCheckBox("复制视频到课程文件夹", this), "chkCopyVideo");
    pbImport = named(new QProgressBar(this), "pbImport");
    pbImport->setRange(0, 100);
    pbImport->setValue(0);
    lbOutcome = named(new QLabel(this), "lbOutcome");
    lbOutcome->setWordWrap(true);
    lbOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btStart = named(new QPushButton("开始", this), "btStart");
    btStart->setDefault(true);
    btCancel = named(new QPushButton("取消", this), "btCancel");

    auto* form = new QFormLayout;
    form->addRow("录音：", fileRow(txtAudio, "选择录音", kAudioFilter));
    form->addRow("课文或字幕：", fileRow(txtText, "选择课文或字幕", kTextFilter));
    QWidget* translationRow = fileRow(txtTranslation, "选择中文字幕", kSubtitleFilter);
    form->addRow("字幕来源：", cbTextTrack);
    form->addRow("中文字幕：", translationRow);
    form->addRow(QString(), chkCopyVideo);
    videoRows_ = {cbTextTrack, form->labelForField(cbTextTrack), translationRow, form->labelForField(translationRow),
                  chkCopyVideo};
    form->addRow("册：", cbImportVolume);
    form->addRow(QString(), lbVolumeProblem);
    form->addRow("课题：", txtTitle);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btStart);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(pbImport);
    layout->addWidget(lbOutcome);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    showVideoChoices({});
    listOwnVolumes(volume);
    connect(txtAudio, &QLineEdit::textChanged, this, &ImportForm::audioChosen);
    // A subtitle file chosen is what the learner means, whatever track was offered.
    connect(txtText, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.trimmed().isEmpty())
            cbTextTrack->setCurrentIndex(0);
    });
    connect(cbImportVolume, &QComboBox::editTextChanged, this, &ImportForm::checkVolume);
    connect(btStart, &QPushButton::clicked, this, &ImportForm::start);
    connect(btCancel, &QPushButton::clicked, this, &ImportForm::reject);
    checkVolume();
}

ImportForm::~ImportForm()
{
    // The import undoes what it began when told to stop; the dialog waits
    // for that rather than leave a half-written lesson behind.
    cancel_ = true;
    if (worker_ != nullptr)
        worker_->wait();
}

QWidget* ImportForm::fileRow(QLineEdit* path, const QString& caption, const QString& filter)
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choose = new QPushButton("选择…", row);
    layout->addWidget(path, 1);
    layout->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, [this, path, caption, filter] {
        const QString file = QFileDialog::getOpenFileName(this, caption, QFileInfo(path->text()).path(), filter);
        if (!file.isEmpty())
            path->setText(file);
    });
    return row;
}

void ImportForm::listOwnVolumes(const QString& volume)
{
    QStringList own = Bookshelf(shippedBooks_, ownBooks_).ownNames();
    own.removeIf([this](const QString& name) { return !volumeProblem(name).isEmpty(); });
    cbImportVolume->addItems(own);
    const QString offered = own.contains(volume) ? volume : own.isEmpty() ? QString(kFirstOwnVolume) : own.first();
    cbImportVolume->setCurrentText(offered);
}

// The title follows the recording's name until the learner writes one.
void ImportForm::audioChosen(const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    if (txtTitle->text().isEmpty() || txtTitle->text() == defaultTitle_)
        txtTitle->setText(base);
    defaultTitle_ = base;
    showVideoChoices(path);
}

// A video's text tracks are listed, the first English one chosen when the
// learner has given no subtitle file; a sound file hides the video's rows.
void ImportForm::showVideoChoices(const QString& path)
{
    const bool file = QFileInfo(path).isFile();
    const MediaStreams streams = file && !path.endsWith(".mp3", Qt::CaseInsensitive) ? mediaStreamsOf(path, 5)
                                                                                    : MediaStreams{};
    cbTextTrack->clear();
    cbTextTrack->addItem("上面的字幕文件");
    for (int k = 0; k < streams.textTracks.size(); ++k) {
        const TextTrack& t = streams.textTracks.at(k);
        cbTextTrack->addItem(QString("视频的文字轨 %1：%2（%3）")
                                 .arg(k + 1)
                                 .arg(t.language.isEmpty() ? "未标语言" : t.language, t.codec));
    }
    const int english = firstEnglishTrack(streams.textTracks);
    if (english >= 0 && txtText->text().trimmed().isEmpty())
        cbTextTrack->setCurrentIndex(english + 1);
    video_ = streams.video;
    for (QWidget* row : videoRows_)
        row->setVisible(video_);
    if (!streams.video)
        chkCopyVideo->setChecked(false);
}

QString ImportForm::volumeProblem(const QString& name) const
{
    return Bookshelf(shippedBooks_).refusedForImport(name);
}

void ImportForm::checkVolume()
{
    const QString problem = volumeProblem(cbImportVolume->currentText());
    lbVolumeProblem->setText(problem);
    lbVolumeProblem->setVisible(!problem.isEmpty());
    btStart->setEnabled(problem.isEmpty() && !running());
}

QList<QWidget*> ImportForm::inputs() const
{
    return {txtAudio, txtText, cbImportVolume, txtTitle, cbTextTrack, txtTranslation, chkCopyVideo};
}

void ImportForm::start()
{
    if (running() || !volumeProblem(cbImportVolume->currentText()).isEmpty())
        return;
    const bool video = video_;
    const int track = video ? cbTextTrack->currentIndex() - 1 : -1;
    if (txtAudio->text().trimmed().isEmpty() || (txtText->text().trimmed().isEmpty() && track < 0)) {
        lbOutcome->setText(video ? "请选择字幕文件，或视频的一条文字轨。" : "请选择录音和课文（或字幕）文件。");
        return;
    }
    ImportRequest request;
    request.booksFolder = ownBooks_;
    request.shippedBooks = shippedBooks_;
    request.programFolder = programFolder_;
    request.volume = cbImportVolume->currentText();
    request.title = txtTitle->text().trimmed();
    request.audioPath = txtAudio->text().trimmed();
    request.textPath = track >= 0 ? QString() : txtText->text().trimmed();
    request.textTrack = track;
    if (video) {
        request.translationPath = txtTranslation->text().trimmed();
        request.copyVideo = chkCopyVideo->isChecked();
    }

    cancel_ = false;
    pbImport->setValue(0);
    pbImport->setFormat("%p%");
    lbOutcome->setText("正在导入…");
    for (QWidget* input : inputs())
        input->setEnabled(false);
    const ImportProgress progress = [this](int percent, int sentence, int count) {
        QMetaObject::invokeMethod(this, [this, percent, sentence, count] { showProgress(percent, sentence, count); },
                                  Qt::QueuedConnection);
    };
    worker_ = QThread::create([this, request, progress] { result_ = importLesson(request, progress, &cancel_); });
    connect(worker_, &QThread::finished, this, &ImportForm::finish);
    btStart->setEnabled(false);
    worker_->start();
}

void ImportForm::showProgress(int percent, int sentence, int count)
{
    if (!running())
        return;
    pbImport->setValue(percent);
    pbImport->setFormat(sentence > 0 ? QString("%p%（第 %1 句，共 %2 句）").arg(sentence).arg(count) : "%p%");
}

void ImportForm::finish()
{
    worker_->deleteLater();
    worker_ = nullptr;
    for (QWidget* input : inputs())
        input->setEnabled(true);
    checkVolume();
    if (!result_.error.isEmpty()) {
        pbImport->setValue(0);
        lbOutcome->setText(QString("没有导入，这一册没有改动：%1").arg(result_.error));
        return;
    }
    pbImport->setValue(100);
    if (cbImportVolume->findText(cbImportVolume->currentText()) < 0)
        cbImportVolume->addItem(cbImportVolume->currentText());
    pbImport->setFormat("%p%");
    const QString place =
        QString("已导入为“%1”的第 %2 课。").arg(cbImportVolume->currentText()).arg(result_.lessonIndex + 1);
    lbOutcome->setText(result_.unsure.isEmpty() ? place + "每句的时间都可靠。"
                                                : place + result_.unsure.join("；") +
                                                      "（可在课文中用 Alt+← / Alt+→ 调整句子的开始）。");
    emit imported(result_.volumeFolder, result_.lessonIndex);
}

// 「取消」 stops an import under way, and closes the dialog otherwise.
void ImportForm::reject()
{
    if (!running()) {
        QDialog::reject();
        return;
    }
    cancel_ = true;
    lbOutcome->setText("正在取消…");
}
