#include "shell/ankiexport/AnkiExportForm.h"

#include "anki/AnkiExportJob.h"
#include "anki/ClipRange.h"
#include "anki/ExportChoice.h"
#include "platform/system/MessageBoxes.h"
#include "shell/window/Settings.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char* const kTitle = "导出到 Anki";
const char* const kPaddingKey = "AnkiPadding";
const char* const kSuffix = ".apkg";

// The learner's documents folder, their home folder when there is none.
QDir documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder);
}

// `name` as a file in the documents folder, without the characters file names
// cannot hold.
QString proposedFile(const QString& name)
{
    QString fileName = name;
    for (const QChar c : QString("/\\:*?\"<>|"))
        fileName.replace(c, ' ');
    return documentsFolder().filePath(fileName.simplified() + kSuffix);
}

}  // namespace

AnkiExportForm::AnkiExportForm(const QString& what, const AnkiExportChoice& proposed, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AnkiExportForm");
    setWindowTitle(kTitle);
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QString("把%1连同录音片段导出为 Anki 卡片包。").arg(what), this));

    file_ = new QLineEdit(proposed.file, this);
    file_->setObjectName("ankiFile");
    file_->setMinimumWidth(460);
    auto* browse = new QPushButton("浏览…", this);
    connect(browse, &QPushButton::clicked, this, &AnkiExportForm::browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse);
    form->addRow("保存到", fileRow);

    padding_ = new QSpinBox(this);
    padding_->setObjectName("ankiPadding");
    padding_->setRange(0, kMaxPaddingMs);
    padding_->setSingleStep(10);
    padding_->setSuffix(" 毫秒");
    padding_->setValue(proposed.paddingMs);
    form->addRow("前后留白", padding_);
    auto* note = new QLabel("每句录音前后多留的时长；不会伸进相邻句子的语音。", this);
    note->setEnabled(false);
    form->addRow(QString(), note);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("导出", QDialogButtonBox::AcceptRole);
    buttons->addButton("取消", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(file_, &QLineEdit::textChanged, ok,
            [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
    form->addRow(buttons);
}

AnkiExportChoice AnkiExportForm::choice() const { return {file_->text().trimmed(), padding_->value()}; }

void AnkiExportForm::browse()
{
    const QString file = QFileDialog::getSaveFileName(this, kTitle, file_->text(), "Anki 卡片包 (*.apkg)");
    if (!file.isEmpty())
        file_->setText(file);
}

bool AnkiExportForm::ask(QWidget* parent, const QString& what, AnkiExportChoice& choice)
{
    AnkiExportForm form(what, choice, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    choice = form.choice();
    return true;
}

AnkiExports::AnkiExports(const Sources& sources, QWidget* window)
    : QObject(window), sources_(sources), window_(window)
{
    setObjectName("ankiExports");
    ask = [this](const QString& what, AnkiExportChoice& choice) { return AnkiExportForm::ask(window_, what, choice); };
}

AnkiExports::~AnkiExports() = default;

void AnkiExports::addLessonEntries(QMenu& menu, const QString& volume, int lesson)
{
    QAction* one = menu.addAction("导出本课到 Anki…", this, [this, volume, lesson] { exportLesson(volume, lesson); });
    QAction* all = menu.addAction("导出本册到 Anki…", this, [this, volume] { exportVolume(volume); });
    one->setObjectName("exportLessonToAnki");
    all->setObjectName("exportVolumeToAnki");
    one->setEnabled(lesson >= 0 && job_ == nullptr);
    all->setEnabled(!volume.isEmpty() && job_ == nullptr);
}

CourseVolume AnkiExports::volumeNamed(const QString& name) const
{
    CourseVolume volume = findVolume(name, sources_.booksFolders);
    if (volume.folder.isEmpty())
        sources_.messages.inform(QString("找不到课本“%1”，无法导出。").arg(name));
    else
        volume.folder = QFileInfo(volume.folder).absoluteFilePath();
    return volume;
}

void AnkiExports::exportLesson(const QString& volumeName, int lesson)
{
    const CourseVolume volume = volumeNamed(volumeName);
    if (volume.folder.isEmpty())
        return;
    const LessonSentences one = lessonSentences(sources_.library, volume, lesson);
    if (!one.error.isEmpty()) {
        sources_.messages.inform(QString("无法导出：%1").arg(one.error));
        return;
    }
    const QString title = lessonTitles(sources_.library, volume).value(lesson);
    start(QString("课文“%1”").arg(title), volume.name + " " + title, one.sentences);
}

void AnkiExports::exportVolume(const QString& volumeName)
{
    const CourseVolume volume = volumeNamed(volumeName);
    if (volume.folder.isEmpty())
        return;
    const LessonSentences all = volumeSentences(sources_.library, volume);
    if (!all.error.isEmpty()) {
        sources_.messages.inform(QString("无法导出：%1").arg(all.error));
        return;
    }
    start(QString("课本“%1”").arg(volume.name), volume.name, all.sentences);
}

void AnkiExports::exportRecordedSentences(const QVector<SentenceKey>& keys, const QString& what, const QString& name)
{
    QString missingVolume;
    const LessonSentences named = recordedSentences(sources_.library, sources_.booksFolders, keys, &missingVolume);
    if (!missingVolume.isEmpty())
        volumeNamed(missingVolume);
    else if (!named.error.isEmpty())
        sources_.messages.inform(QString("无法导出：%1").arg(named.error));
    else
        start(what, name, named.sentences);
}

void AnkiExports::start(const QString& what, const QString& name, const QList<ExportSentence>& sentences)
{
    if (job_ != nullptr)
        return;
    if (sentences.isEmpty()) {
        sources_.messages.inform(QString("%1中没有可导出的句子。").arg(what));
        return;
    }
    Settings& settings = sources_.settings;
    AnkiExportChoice choice{proposedFile(name),
                            std::clamp(settings.number(kPaddingKey, kDefaultPaddingMs), 0, kMaxPaddingMs)};
    if (!ask(what, choice))
        return;
    settings.setNumberOnceUsed(kPaddingKey, choice.paddingMs, kDefaultPaddingMs);
    // A bare name goes into the documents folder, not the program's.
    choice.file = documentsFolder().absoluteFilePath(choice.file);
    if (!choice.file.endsWith(kSuffix, Qt::CaseInsensitive))
        choice.file += kSuffix;

    job_ = new AnkiExportJob(sentences, choice.file, choice.paddingMs, this);
    progress_ = new QProgressDialog(QString("正在把%1导出到 Anki…").arg(what), "取消", 0, sentences.size(), window_);
    progress_->setObjectName("ankiProgress");
    progress_->setWindowTitle(kTitle);
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(300);
    AnkiExportJob* job = job_;
    connect(progress_.data(), &QProgressDialog::canceled, job, [job] { job->cancel(); });
    connect(job, &AnkiExportJob::progressed, progress_.data(), &QProgressDialog::setValue);
    const QString deck = "Lexbay::" + sentences.first().volume;
    connect(job, &AnkiExportJob::finished, this,
            [this, file = choice.file, deck](const AnkiExportResult& result) { finish(result, file, deck); });
    job_->start();
}

void AnkiExports::finish(const AnkiExportResult& result, const QString& file, const QString& deck)
{
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
    }
    job_->deleteLater();
    job_ = nullptr;
    if (result.cancelled)
        return;
    if (result.ok()) {
        QString told = QString("已把 %1 句导出到 %2（牌组“%3”）。在 Anki 中用“导入”打开它。")
                           .arg(result.notes)
                           .arg(QDir::toNativeSeparators(file), deck);
        for (const QString& video : result.missingVideos)
            told += "\n" + missingVideoNotice(QDir::toNativeSeparators(video)) + "。";
        sources_.messages.inform(told);
    }
    else
        sources_.messages.inform(QString("导出到 Anki 失败：%1\n没有写入卡片包。").arg(result.error));
}
