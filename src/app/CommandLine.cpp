#include "app/CommandLine.h"

namespace {
const QString kDataDir = QStringLiteral("--data-dir");
const QString kDataDirIs = QStringLiteral("--data-dir=");
} // namespace

namespace CommandLine {

Options Parse(const QStringList& arguments)
{
    Options options;
    const auto setDataDir = [&options](const QString& dir) {
        // The first one counts, as it always has.
        if (options.bDataDirGiven)
            return;
        options.bDataDirGiven = true;
        options.strDataDir = dir;
        if (dir.isEmpty())
            options.strError = QStringLiteral("Kestrum: 命令行参数 --data-dir 后面缺少数据文件夹");
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
        else if (options.strUnknown.isEmpty())
            options.strUnknown = (arg.startsWith(u'-') ? QStringLiteral("Kestrum: 未知的选项 \"%1\"")
                                                       : QStringLiteral("Kestrum: 多余的参数 \"%1\""))
                                     .arg(arg) +
                                 QStringLiteral("，可用的选项见 Kestrum --help");
    }
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
               "  -h, --help           显示本帮助后退出。\n"
               "  -v, --version        显示版本号后退出。\n"
               "\n"
               "不给出 --data-dir 时，数据文件夹依次是:\n"
               "  1. 环境变量 KESTRUM_DATA_DIR 所指的文件夹；\n"
               "  2. 程序旁边的 data 文件夹 (便携安装)；\n"
               "  3. %1\n"
               "\n"
               "Qt 的通用选项 (如 -platform、-style、-reverse) 照常可用。\n")
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
