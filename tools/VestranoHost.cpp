// A small host window standing in for the timetable program: it starts the converter embedded
// in its own window, with a direction word and the window's id in hexadecimal, waits for it to
// end, and prints the value of "Transformado" that the converter left in "Vestrano.ini".
//
//   vestrano-host [--program PATH] [--direction importar|exportar|WORD]
//
// PATH defaults to TransVestranosXadeCSV beside this program. The output is
//   host window 0x...        (on start)
//   converter pid N          (once it runs)
//   Transformado=V           (at the end; "Transformado=" when the file has no such key)
// and the exit status is the converter's.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QTextStream>
#include <QVBoxLayout>

#include <cstdio>

namespace
{

QString statusOf(const QString& program)
{
    const QDir folder = QFileInfo(program).absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files))
        if (name.compare(QLatin1String("Vestrano.ini"), Qt::CaseInsensitive) == 0) {
            QSettings ini(folder.filePath(name), QSettings::IniFormat);
            return ini.value(QStringLiteral("Transformadores/Transformado")).toString();
        }
    return {};
}

void say(const QString& line)
{
    std::fputs(qPrintable(line + '\n'), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Hosts the converter's window as the timetable program does."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("program"), QStringLiteral("The converter program."), QStringLiteral("path"),
                      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TransVestranosXadeCSV"))});
    parser.addOption({QStringLiteral("direction"), QStringLiteral("The direction word."), QStringLiteral("word"),
                      QStringLiteral("importar")});
    parser.process(app);
    const QString program = parser.value(QStringLiteral("program"));

    QWidget host;
    host.setWindowTitle(QStringLiteral("Vestrano host"));
    host.resize(640, 320);
    auto* note = new QLabel(QStringLiteral("Vestrano"), &host);
    note->move(10, 290);
    host.show();
    const QString id = QString::number(static_cast<qulonglong>(host.winId()), 16).toUpper();
    say(QStringLiteral("host window 0x%1").arg(id));

    QProcess converter;
    converter.setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(&converter, &QProcess::finished, &app, [&](int code, QProcess::ExitStatus status) {
        say(QStringLiteral("Transformado=%1").arg(statusOf(program)));
        QCoreApplication::exit(status == QProcess::NormalExit ? code : 128);
    });
    QObject::connect(&converter, &QProcess::errorOccurred, &app, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            say(QStringLiteral("cannot start %1").arg(program));
            QCoreApplication::exit(127);
        }
    });
    converter.start(program, {parser.value(QStringLiteral("direction")), id});
    if (converter.waitForStarted())
        say(QStringLiteral("converter pid %1").arg(converter.processId()));
    return QApplication::exec();
}
