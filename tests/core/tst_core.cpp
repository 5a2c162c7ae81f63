// Constants, enumeration text forms and their fallbacks, platform kind and the
// remembered configuration folder.
#include "global.h"
#include "test_env.h"
#include "test_ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QtTest>

namespace {

/// Text form of `value` through the conversion named `kind`.
QString toText(const QString &kind, int value)
{
    const global gl;
    if (kind == "dbtype")
        return gl.dbtype_toString(value);
    if (kind == "simType")
        return gl.simType_toString(value);
    if (kind == "componentType")
        return gl.componentType_toString(value);
    if (kind == "activityType")
        return gl.activityType_toString(value);
    if (kind == "activityWaterType")
        return gl.activityWaterType_toString(value);
    if (kind == "speciesType")
        return gl.speciesType_toString(value);
    if (kind == "eqkType")
        return gl.eqkType_toString(value);
    if (kind == "unitConcn")
        return gl.unitConcn_toString(value);
    if (kind == "unitConcnGas")
        return gl.unitConcnGas_toString(value);
    if (kind == "unitH")
        return gl.unitH_toString(value);
    if (kind == "typeAlkalinity")
        return gl.typeAlkalinity_toString(value);
    qFatal("unknown conversion %s", qPrintable(kind));
    return {};
}

/// Value of `text` through the conversion named `kind`.
int toValue(const QString &kind, const QString &text)
{
    const global gl;
    if (kind == "dbtype")
        return gl.dbtype_toEnum(text);
    if (kind == "simType")
        return gl.simType_toEnum(text);
    if (kind == "componentType")
        return gl.componentType_toEnum(text);
    if (kind == "activityType")
        return gl.activityType_toEnum(text);
    if (kind == "activityWaterType")
        return gl.activityWaterType_toEnum(text);
    if (kind == "speciesType")
        return gl.speciesType_toEnum(text);
    if (kind == "eqkType")
        return gl.eqkType_toEnum(text);
    if (kind == "unitConcn")
        return gl.unitConcn_toEnum(text);
    if (kind == "unitConcnGas")
        return gl.unitConcnGas_toEnum(text);
    if (kind == "unitH")
        return gl.unitH_toEnum(text);
    if (kind == "typeAlkalinity")
        return gl.typeAlkalinity_toEnum(text);
    qFatal("unknown conversion %s", qPrintable(kind));
    return 0;
}

} // namespace

class tst_core : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textForms_data();
    void textForms();
    void unknownValue_data();
    void unknownValue();
    void unknownText_data();
    void unknownText();
    void displayTexts_data();
    void displayTexts();
    void hydrogenFormReadAsH();
    void constants();
    void productType_data();
    void productType();
    void jsdbPath();
};

void tst_core::initTestCase()
{
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setApplicationName("vek7");
}

void tst_core::textForms_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    const struct
    {
        const char *kind;
        QStringList texts;
    } tables[] = {
        {"dbtype", {"eq36_96", "thermoddem_19"}},
        {"simType", {"batchSpcn"}},
        {"componentType", {"chemElement", "redoxSolute"}},
        {"activityType", {"ac_ideal", "ac_dh", "ac_dh_ext", "ac_dh_davies", "ac_dh_bdot"}},
        {"activityWaterType", {"acw_ideal", "acw_mol_fr", "acw_dh_bdot"}},
        {"speciesType", {"element", "basis", "aux", "aqueous", "solid", "liquid", "gas", "ideal"}},
        {"eqkType", {"eqkLog10_polynom", "eqk_TC_pair", "eqkLog10_TC_pair"}},
        {"unitConcn", {"molal", "Molar", "ppm"}},
        {"unitConcnGas", {"atm", "fugacity"}},
        {"unitH", {"H", "pH"}},
        {"typeAlkalinity", {"alk_base", "alk_total"}},
    };
    for (const auto &t : tables) {
        for (int v = 0; v < t.texts.size(); ++v) {
            QTest::addRow("%s %d", t.kind, v) << QString(t.kind) << v << t.texts.at(v);
        }
    }
}

void tst_core::textForms()
{
    QFETCH(QString, kind);
    QFETCH(int, value);
    QFETCH(QString, text);
    MessageCapture log;
    QCOMPARE(toText(kind, value), text);
    QCOMPARE(toValue(kind, text), value);
    QCOMPARE(log.take(), QStringList()); // known values log nothing
}

void tst_core::unknownValue_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("dbtype 2") << "dbtype" << 2 << "eq36_96"
                              << QStringList {">> Unknown thermo database type [ 2 ] found.",
                                              "   Set to [ eq36_96 ]."};
    QTest::newRow("dbtype -1") << "dbtype" << -1 << "eq36_96"
                               << QStringList {">> Unknown thermo database type [ -1 ] found.",
                                               "   Set to [ eq36_96 ]."};
    QTest::newRow("simType 1") << "simType" << 1 << "batchSpcn"
                               << QStringList {">> Unknown simulation type [ 1 ] found.",
                                               "   Set to [ batchSpcn ]."};
    QTest::newRow("componentType 2") << "componentType" << 2 << "unknown_compType" << QStringList();
    QTest::newRow("activityType 5") << "activityType" << 5 << "unknown_actype" << QStringList();
    QTest::newRow("activityType -3") << "activityType" << -3 << "unknown_actype" << QStringList();
    QTest::newRow("activityWaterType 3")
        << "activityWaterType" << 3 << "unknown_acwtype" << QStringList();
    QTest::newRow("speciesType 8") << "speciesType" << 8 << "unknown_sptype"
                                   << QStringList {">> Unknown species type [ 8 ] found."};
    QTest::newRow("speciesType 42") << "speciesType" << 42 << "unknown_sptype"
                                    << QStringList {">> Unknown species type [ 42 ] found."};
    QTest::newRow("eqkType 3") << "eqkType" << 3 << "eqkLog10_polynom"
                               << QStringList {">> Unknown equation type [ 3 ] found.",
                                               "   set to [ eqkLog10_polynom ]."};
    QTest::newRow("unitConcn 3") << "unitConcn" << 3 << "molal"
                                 << QStringList {">> unknown concentration unit type found.",
                                                 "   set to [ molal ]."};
    QTest::newRow("unitConcnGas 2")
        << "unitConcnGas" << 2 << "fugacity"
        << QStringList {">> Incomplete, toString: gas concentration unit set to [ 2 ] found.",
                        "   set to [ fugacity ]."};
    QTest::newRow("unitH 2") << "unitH" << 2 << "H"
                             << QStringList {">> Found, toString: unknown [H+] type [ 2 ] found.",
                                             "   Set to [ H ]."};
    QTest::newRow("typeAlkalinity 2")
        << "typeAlkalinity" << 2 << "alk_base"
        << QStringList {">> Found, toString: unknown alkalinity type [ 2 ] found."};
    // 4 has a written form of its own, which the reading side does not know.
    QTest::newRow("typeAlkalinity 4")
        << "typeAlkalinity" << 4 << "unknown_alktype" << QStringList();
}

void tst_core::unknownValue()
{
    QFETCH(QString, kind);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    MessageCapture log;
    QCOMPARE(toText(kind, value), text);
    QCOMPARE(log.take(), lines);
}

void tst_core::unknownText_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("dbtype") << "dbtype"
                            << "EQ36_96" << 0
                            << QStringList {
                                   ">> Unknown thermo database type [ \"EQ36_96\" ] found.",
                                   "   set to [ eq36_96 ]."};
    QTest::newRow("simType") << "simType"
                             << "" << 0
                             << QStringList {">> Unknown simulation type string [ \"\" ] found",
                                             "   Set to type [ batchSpcn ]."};
    QTest::newRow("componentType")
        << "componentType"
        << "element" << 0
        << QStringList {">> Unknown component type string [ \"element\" ] found",
                        "   Set to type [ chemElement ]."};
    QTest::newRow("activityType capitals") << "activityType"
                                           << "AC_IDEAL" << 5 << QStringList();
    QTest::newRow("activityType own fallback") << "activityType"
                                               << "unknown_actype" << 5 << QStringList();
    QTest::newRow("activityWaterType") << "activityWaterType"
                                       << "acw_bdot" << 3 << QStringList();
    QTest::newRow("speciesType written fallback")
        << "speciesType"
        << "unknown_sptype" << 8
        << QStringList {">> Unknown species type string [ \"unknown_sptype\" ] found."};
    QTest::newRow("speciesType empty")
        << "speciesType"
        << "" << 8 << QStringList {">> Unknown species type string [ \"\" ] found."};
    QTest::newRow("eqkType") << "eqkType"
                             << "polynom" << 0
                             << QStringList {
                                    ">> Unknown equation type string [ \"polynom\" ] found.",
                                    "   Set to [ eqkLog10_polynom ]."};
    QTest::newRow("unitConcn case") << "unitConcn"
                                    << "molar" << 0
                                    << QStringList {">> unknown concentration unit type string [ "
                                                    "\"molar\" ] found.",
                                                    "   set to [ molal ]."};
    QTest::newRow("unitConcnGas")
        << "unitConcnGas"
        << "bar" << 1
        << QStringList {">> Incomplete, toEnum: gas concentration unit set to [ \"bar\" ] found.",
                        "   set to [ fugacity ]."};
    QTest::newRow("unitH") << "unitH"
                           << "PH" << 0
                           << QStringList {">> Found, toEnum: unknown [H+] type [ \"PH\" ] found.",
                                           "   Set to [ H ]."};
    QTest::newRow("typeAlkalinity written form")
        << "typeAlkalinity"
        << "unknown_alktype" << 0
        << QStringList {">> Found, toEnum: unknown alkalinity type [ \"unknown_alktype\" ] found."};
    QTest::newRow("typeAlkalinity read form") << "typeAlkalinity"
                                              << "unknown_alk" << 4 << QStringList();
}

void tst_core::unknownText()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QStringList, lines);
    MessageCapture log;
    QCOMPARE(toValue(kind, text), value);
    QCOMPARE(log.take(), lines);
}

void tst_core::displayTexts_data()
{
    QTest::addColumn<bool>("water");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("ac 0") << false << 0 << "ideal solution";
    QTest::newRow("ac 1") << false << 1 << "Debye-Huckel";
    QTest::newRow("ac 2") << false << 2 << "Extended Debye-Huckel";
    QTest::newRow("ac 3") << false << 3 << "Debye-Huckel Davies";
    QTest::newRow("ac 4") << false << 4 << "EQ36 B-Dot";
    QTest::newRow("ac 5") << false << 5 << "unknown_actype";
    QTest::newRow("ac 99") << false << 99 << "unknown_actype";
    QTest::newRow("acw 0") << true << 0 << "ideal solution";
    QTest::newRow("acw 1") << true << 1 << "mole fraction";
    QTest::newRow("acw 2") << true << 2 << "EQ36 B-Dot";
    QTest::newRow("acw 3") << true << 3 << "unknown_acwtype";
    QTest::newRow("acw -1") << true << -1 << "unknown_acwtype";
}

void tst_core::displayTexts()
{
    QFETCH(bool, water);
    QFETCH(int, value);
    QFETCH(QString, text);
    const global gl;
    QCOMPARE(water ? gl.activityWaterType_Translate(value) : gl.activityType_Translate(value),
             text);
}

void tst_core::hydrogenFormReadAsH()
{
    // A file holding "[H+]" holds "H" once read and written again.
    const global gl;
    MessageCapture log;
    QCOMPARE(gl.unitH_toString(gl.unitH_toEnum("[H+]")), QString("H"));
    QCOMPARE(log.take(), QStringList());
}

void tst_core::constants()
{
    const global gl;
    QCOMPARE(gl.default_format_jsdb(), QString("jsdb.240101"));
    QCOMPARE(gl.version_simulator(), QString("v.1.0.2a"));
    QCOMPARE(gl.version_database(), QString("vdb.1.0.1"));
    QCOMPARE(gl.tag_compilation(), 20250901);
    QCOMPARE(gl.dbtypes_list(), QStringList {"EQ36 1996: data0.cmp - data0.com.V8.R6"});
    QCOMPARE(gl.default_concn_Molar(), 1.0e-4);
    QCOMPARE(gl.default_concn_molal(), 1.0e-4);
    QCOMPARE(gl.default_fugacity(), 1.0e-4);
    QVERIFY(!gl.path_proj_src().isEmpty());
    QCOMPARE(gl.path_resources(), gl.path_proj_src() + "/src/Resources/");
    QCOMPARE(gl.path_user_home(), QDir::homePath());
}

void tst_core::productType_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("kind");
    QTest::newRow("macos") << "macos" << 0;
    QTest::newRow("ios") << "ios" << 1;
    QTest::newRow("windows") << "windows" << 2;
    QTest::newRow("debian") << "debian" << 3;
    QTest::newRow("ubuntu") << "ubuntu" << 4;
    QTest::newRow("unknown") << "unknown" << 5;
    QTest::newRow("other") << "fedora" << 5;
    QTest::newRow("case") << "Debian" << 5;
    QTest::newRow("empty") << "" << 5;
}

void tst_core::productType()
{
    QFETCH(QString, product);
    QFETCH(int, kind);
    QCOMPARE(global::productType_toInt(product), kind);
}

void tst_core::jsdbPath()
{
    const global gl;
    QCOMPARE(gl.settings_read_jsdbPath(), QString());

    const QString folder = vek7TestScratchDir() + "/configs";
    QVERIFY(QDir().mkpath(folder));
    // A relative file name is remembered by its absolute folder.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder));
    gl.settings_write_jsdbPath("sample.jsdb");
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(gl.settings_read_jsdbPath(), QFileInfo(folder).absoluteFilePath());

    gl.settings_write_jsdbPath(folder + "/sub/other.jsdb");
    QCOMPARE(QSettings().value("jsdbPath/prevDir").toString(), folder + "/sub");
}

QTEST_GUILESS_MAIN(tst_core)
#include "tst_core.moc"
