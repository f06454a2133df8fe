// The program as started from a shell: without a display it says so; with
// one, relative paths on the command line are taken from the program's own
// folder and start-up sees the arguments as given.
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>

class EntryRoutineTest : public QObject {
    Q_OBJECT
    QString program;

    QProcessEnvironment environment_without_display() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(name));
        }
        return env;
    }

  private slots:
    void initTestCase() {
        // The program sits beside the tests folder of the build.
        program = QCoreApplication::applicationDirPath() + QStringLiteral("/../dova");
        if (!QFileInfo(program).isExecutable()) QSKIP("the program is not built beside the tests");
    }

    void without_a_display_it_says_so() {
        QProcess dova;
        dova.setProcessEnvironment(environment_without_display());
        dova.start(program, {});
        QVERIFY(dova.waitForFinished(30000));
        QCOMPARE(dova.exitStatus(), QProcess::NormalExit);
        QCOMPARE(dova.exitCode(), 1);
        const QString said = QString::fromUtf8(dova.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("no display found")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("tools/run-dova.sh")), qPrintable(said));
    }

    void relative_paths_start_in_the_program_folder() {
        // The same name in the program's folder and in the folder it is
        // started from: a clean-up request removes only the first.
        const QString name =
            QStringLiteral("entry-routine-test-%1.tmp").arg(QCoreApplication::applicationPid());
        const QString beside = QFileInfo(program).absolutePath() + QLatin1Char('/') + name;
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        const QString other = elsewhere.filePath(name);
        for (const QString& p : {beside, other}) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }

        QProcess dova;
        QProcessEnvironment env = environment_without_display();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        dova.setProcessEnvironment(env);
        dova.setWorkingDirectory(elsewhere.path());
        dova.start(program, {QStringLiteral("[母]") + name});
        QVERIFY(dova.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(beside), 30000);
        QVERIFY(QFile::exists(other));
        // It goes on to show its window and wait for the user.
        QCOMPARE(dova.state(), QProcess::Running);
        dova.kill();
        dova.waitForFinished();
        QFile::remove(beside);
    }
};

QTEST_MAIN(EntryRoutineTest)
#include "entry_routine_test.moc"
