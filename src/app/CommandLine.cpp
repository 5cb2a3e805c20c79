#include "app/CommandLine.h"

#include <QRegularExpression>
#include <QUrl>

namespace {
const QString kDataDir = QStringLiteral("--data-dir");
const QString kDataDirIs = QStringLiteral("--data-dir=");
const QString kExport = QStringLiteral("--export-ics");
const QString kImport = QStringLiteral("--import-ics");
const QString kFrom = QStringLiteral("--from");
const QString kTo = QStringLiteral("--to");
const QString kSync = QStringLiteral("--sync");
const QString kServer = QStringLiteral("--server");
const QString kUser = QStringLiteral("--user");
const QString kPasswordStdin = QStringLiteral("--password-stdin");

// Only the one spelling the help shows: "2026-3-1" or "20260301" would be guesses.
QDate ParseDay(const QString& text)
{
    static const QRegularExpression kDay(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return kDay.match(text).hasMatch() ? QDate::fromString(text, QStringLiteral("yyyy-MM-dd")) : QDate();
}
} // namespace

namespace CommandLine {

Options Parse(const QStringList& arguments)
{
    Options options;
    QStringList errors;
    const auto fail = [&errors](const QString& text) {
        if (!errors.contains(text))
            errors << text;
    };
    const auto setDataDir = [&options, &fail](const QString& dir) {
        // The first one counts, as it always has.
        if (options.bDataDirGiven)
            return;
        options.bDataDirGiven = true;
        options.strDataDir = dir;
        if (dir.isEmpty())
            fail(QStringLiteral("Kestrum: 命令行参数 --data-dir 后面缺少数据文件夹"));
    };
    // "--name VALUE" or "--name=VALUE": true when \a arg is the option, with \a value set (null
    // when the value is missing).
    const auto takeValue = [&arguments](const QString& name, qsizetype& i, QString& value) {
        const QString& arg = arguments[i];
        if (arg == name) {
            value = ++i < arguments.size() ? arguments[i] : QString();
            return true;
        }
        if (arg.startsWith(name + u'=')) {
            value = arg.mid(name.size() + 1);
            return true;
        }
        return false;
    };
    bool bExportGiven = false;
    bool bImportGiven = false;
    QStringList dateOptions; // --from and --to as given, for the line that refuses them alone
    const auto setFile = [&](const QString& name, Options::Exchange exchange, bool& given,
                             const QString& file) {
        if (given)
            fail(QStringLiteral("Kestrum: 命令行参数 %1 只能给出一次").arg(name));
        given = true;
        if (file.isEmpty())
            fail(QStringLiteral("Kestrum: 命令行参数 %1 后面缺少文件名").arg(name));
        if (options.exchange == Options::Exchange::None) {
            options.exchange = exchange;
            options.strIcsFile = file;
        }
    };
    const auto setDay = [&](const QString& name, QDate& day, const QString& text) {
        if (!dateOptions.contains(name))
            dateOptions << name;
        if (text.isEmpty()) {
            fail(QStringLiteral("Kestrum: 命令行参数 %1 后面缺少日期").arg(name));
            return;
        }
        day = ParseDay(text);
        if (!day.isValid())
            fail(QStringLiteral("Kestrum: 命令行参数 %1 的日期 \"%2\" 不对，应写成 YYYY-MM-DD")
                     .arg(name, text));
    };
    QStringList accountOptions; // --server, --user and --password-stdin as given
    const auto setAccount = [&](const QString& name, QString& field, const QString& text) {
        if (!accountOptions.contains(name))
            accountOptions << name;
        if (text.isEmpty())
            fail(QStringLiteral("Kestrum: 命令行参数 %1 后面缺少%2")
                     .arg(name, name == kServer ? QStringLiteral("服务器地址") : QStringLiteral("用户名")));
        field = text;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help"))
            options.bHelp = true;
        else if (arg == QStringLiteral("-v") || arg == QStringLiteral("--version"))
            options.bVersion = true;
        else if (arg == kDataDir)
            setDataDir(++i < arguments.size() ? arguments[i] : QString());
        else if (arg.startsWith(kDataDirIs))
            setDataDir(arg.mid(kDataDirIs.size()));
        else if (QString value; takeValue(kExport, i, value))
            setFile(kExport, Options::Exchange::Export, bExportGiven, value);
        else if (takeValue(kImport, i, value))
            setFile(kImport, Options::Exchange::Import, bImportGiven, value);
        else if (takeValue(kFrom, i, value))
            setDay(kFrom, options.dtFrom, value);
        else if (takeValue(kTo, i, value))
            setDay(kTo, options.dtTo, value);
        else if (arg == kSync)
            options.bSync = true;
        else if (arg == kPasswordStdin)
            options.bPasswordStdin = true;
        else if (takeValue(kServer, i, value))
            setAccount(kServer, options.strServer, value);
        else if (takeValue(kUser, i, value))
            setAccount(kUser, options.strUser, value);
        else if (options.strUnknown.isEmpty())
            options.strUnknown = (arg.startsWith(u'-') ? QStringLiteral("Kestrum: 未知的选项 \"%1\"")
                                                       : QStringLiteral("Kestrum: 多余的参数 \"%1\""))
                                     .arg(arg) +
                                 QStringLiteral("，可用的选项见 Kestrum --help");
    }
    if (bExportGiven && bImportGiven)
        fail(QStringLiteral("Kestrum: --export-ics 和 --import-ics 不能同时使用"));
    if (!dateOptions.isEmpty() && !bExportGiven)
        fail(QStringLiteral("Kestrum: %1 只能与 --export-ics 一起使用")
                 .arg(dateOptions.join(QStringLiteral(" 和 "))));
    if (options.bPasswordStdin && !accountOptions.contains(kPasswordStdin))
        accountOptions << kPasswordStdin;
    if (!accountOptions.isEmpty() && !options.bSync)
        fail(QStringLiteral("Kestrum: %1 只能与 --sync 一起使用")
                 .arg(accountOptions.join(QStringLiteral(" 和 "))));
    if (options.bSync && (bExportGiven || bImportGiven))
        fail(QStringLiteral("Kestrum: --sync 不能与 --export-ics 或 --import-ics 同时使用"));
    if (accountOptions.contains(kServer) != accountOptions.contains(kUser))
        fail(QStringLiteral("Kestrum: --server 和 --user 要一起给出"));
    if (!options.strServer.isEmpty()) {
        const QUrl url(options.strServer, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() ||
            (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https")))
            fail(QStringLiteral("Kestrum: 服务器地址 \"%1\" 不对，应以 https:// 或 http:// 开头")
                     .arg(options.strServer));
    }
    if (options.dtFrom.isValid() && options.dtTo.isValid() && options.dtFrom > options.dtTo)
        fail(QStringLiteral("Kestrum: --from 的日期晚于 --to 的日期"));
    options.strError = errors.join(u'\n');
    return options;
}

QString HelpText(const QString& defaultFolder)
{
    return QStringLiteral(
               "用法: Kestrum [选项]\n"
               "\n"
               "Kestrum 每日计划: 每天的事情、定时提醒、倒计时、节日、课程表和常用程序。\n"
               "\n"
               "选项:\n"
               "  --data-dir <文件夹>  使用这个文件夹中的数据: 数据库 kstrm.db、设置 config.ini、\n"
               "                       课程表 kcb.dat、程序列表 program.dat 和提示音。\n"
               "                       文件夹不存在或是空的时，在其中建立一份新的数据。\n"
               "  --export-ics <文件>  把事情、提醒和节日导出为 iCalendar 文件 (.ics) 后退出，\n"
               "                       不打开窗口，也不需要图形界面。\n"
               "  --from <日期>        与 --export-ics 一起: 只导出从这一天起的事情；\n"
               "  --to <日期>          与 --export-ics 一起: 只导出到这一天为止的事情。\n"
               "                       日期写成 YYYY-MM-DD；提醒和节日总是全部导出。\n"
               "  --import-ics <文件>  从 iCalendar 文件导入事情、提醒和节日后退出，在标准输出上\n"
               "                       列出导入的结果；正在运行的本软件随即重新读取数据。\n"
               "                       同一文件导入两次不会重复。\n"
               "  --sync               与保存的日历服务器帐户同步一次后退出，不打开窗口；正在运行的\n"
               "                       本软件随即重新读取同步来的数据。密码取自桌面的密钥环，没有\n"
               "                       密钥环时从标准输入读取。\n"
               "  --server <地址>      与 --sync 和 --user 一起: 先设置帐户 (CalDAV 服务器地址和\n"
               "  --user <用户名>      用户名) 并保存，不保存密码。日历是以前选定的，否则使用名为\n"
               "                       \"Kestrum 事情\" 和 \"Kestrum 提醒\" 的日历，没有就建立。\n"
               "  --password-stdin     与 --sync 一起: 从标准输入读取密码 (一行)，有密钥环时存入。\n"
               "  -h, --help           显示本帮助后退出。\n"
               "  -v, --version        显示版本号后退出。\n"
               "\n"
               "不给出 --data-dir 时，数据文件夹依次是:\n"
               "  1. 环境变量 KESTRUM_DATA_DIR 所指的文件夹；\n"
               "  2. 程序旁边的 data 文件夹 (便携安装)；\n"
               "  3. %1\n"
               "\n"
               "导出时数据文件夹中必须已有数据；导入到不存在或空的文件夹时，先在其中建立一份新的数据。\n"
               "导入导出和同步成功时退出状态为 0；出错时为 1，每个问题在标准错误上写一行；\n"
               "选项有误时为 2。\n"
               "Qt 的通用选项 (如 -platform、-style、-reverse) 照常可用 (导入导出和同步时除外)。\n")
        .arg(defaultFolder);
}

QString Version()
{
    return QStringLiteral(KESTRUM_VERSION);
}

QString VersionText()
{
    return QStringLiteral("Kestrum ") + Version() + u'\n';
}

} // namespace CommandLine
