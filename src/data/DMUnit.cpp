#include "data/DMUnit.h"

#include "data/Cipher.h"
#include "data/DataPath.h"
#include "data/Messages.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace {

bool FontDatabaseHasPhoneticFont()
{
    // The font database needs a GUI application; the command-line tool has none.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    return QFontDatabase::hasFamily(QStringLiteral("PDFont1"));
}

} // namespace

TDM::TDM(const QString& dataDir, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_connection(QStringLiteral("veltra-dm")),
      m_phoneticFont(FontDatabaseHasPhoneticFont())
{
    adsNote.SetWriteTarget(m_connection.name(), QStringLiteral("tblNote"));
    adsExplain.SetWriteTarget(m_connection.name(), QStringLiteral("tblExplain"));
    adsNote.BeforePost = [this](TLessonDataSet& ds) { StampContentId(ds); };
    adsExplain.BeforePost = [this](TLessonDataSet& ds) { StampContentId(ds); };
    const auto decode = [this](const QVariant& stored) { return DecodeFieldText(stored); };
    adsQorSen.SetFieldDecoder(QStringLiteral("FChinese"), decode);
    adsQorWord.SetFieldDecoder(QStringLiteral("FChinese"), decode);
    adsQorWord.SetFieldDecoder(QStringLiteral("FInfo"), decode);
    adsQorWord.SetFieldDecoder(QStringLiteral("FPS"),
                               [this](const QVariant& stored) { return DecodeFieldText(stored, true); });
    SetPhoneticFontAvailable(m_phoneticFont);
    DataModuleCreate();
}

void TDM::SetPhoneticFontAvailable(bool available)
{
    m_phoneticFont = available;
    adsQorWord.SetFieldFontFamily(QStringLiteral("FPS"), available ? QStringLiteral("PDFont1") : QString());
}

TDM::~TDM() = default;

void TDM::DataModuleCreate()
{
    const QString path = ResolveDataPath(m_dataDir, QStringLiteral("qor.db"));
    bool ok = false;
    // A file without the program's tables is no course database either.
    if (!path.isEmpty())
        ok = m_connection.open(path, SqliteConnection::Open::Existing) && HasSchema(m_connection.database());
    if (!ok) {
        ShowError(QStringLiteral("连接数据库错误，或者数据库已损坏\n请重新安装本软件！(001)"));
        m_terminate = true;
        return;
    }
    m_connected = true;
    LoadSettings();
}

QSqlDatabase TDM::Database() const
{
    return m_connection.database();
}

QString TDM::DecodeFieldText(const QVariant& stored, bool phonetic) const
{
    const QByteArray bytes =
        CipherText(stored.toString().trimmed().toLatin1(), QByteArray(kFieldKey), kDecodeMode);
    if (phonetic && m_phoneticFont)
        return QString::fromLatin1(bytes);
    return Gb18030ToText(bytes);
}

void TDM::StampContentId(TLessonDataSet& dataSet) const
{
    // Not CurContentID: a failed step moves that on while the lists, and the
    // note on screen, still belong to the lesson before.
    if (m_noteContentId > 0)
        dataSet.SetFieldValue(QStringLiteral("FContentID"), m_noteContentId);
}
