#include "global.h"

#include "records.h"
#include "settings_keys.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

#include <cmath>

#ifndef VEK7_SOURCE_DIR
#define VEK7_SOURCE_DIR ""
#endif

QString global::default_format_jsdb() const
{
    return QStringLiteral("jsdb.240101");
}

QString global::version_simulator() const
{
    return QStringLiteral("v.1.0.2a");
}

QString global::version_database() const
{
    return QStringLiteral("vdb.1.0.1");
}

int global::tag_compilation() const
{
    return 20250901;
}

QString global::path_proj_src() const
{
    return QStringLiteral(VEK7_SOURCE_DIR);
}

QString global::path_resources() const
{
    return path_proj_src() + QStringLiteral("/src/Resources/");
}

QString global::path_user_home() const
{
    return QDir::homePath();
}

QString global::path_user_app() const
{
    return QCoreApplication::applicationDirPath();
}

QString global::path_user_doc() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QStringList global::dbtypes_list() const
{
    return {QStringLiteral("EQ36 1996: data0.cmp - data0.com.V8.R6")};
}

double global::default_concn_Molar() const
{
    return 1.0e-4;
}

double global::default_concn_molal() const
{
    return 1.0e-4;
}

double global::default_fugacity() const
{
    return 1.0e-4;
}

void global::amounts_fromMolal(one_elementComp *entry, double density, double ppmFactor)
{
    if (!entry)
        return;
    entry->Molar = entry->molal * density;
    entry->ppm = entry->molal * ppmFactor;
}

double global::pH_ofHydrogen(const one_water *w, const QString &nameH)
{
    for (const one_elementComp *e : w->composition)
        if (e && e->element == nameH)
            return e->Molar > 0.0 ? -std::log10(e->Molar) : std::nan("");
    return std::nan("");
}

QString global::settings_read_jsdbPath() const
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupJsdbPath);
    return settings.value(settings_keys::keyPrevDir).toString();
}

void global::settings_write_jsdbPath(const QString &file) const
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupJsdbPath);
    settings.setValue(settings_keys::keyPrevDir, QFileInfo(file).absolutePath());
    settings.endGroup();
    settings.sync();
}

int global::get_OSProductType() const
{
    return productType_toInt(QSysInfo::productType());
}

int global::productType_toInt(const QString &productType)
{
    static const QStringList known
        = {QStringLiteral("macos"), QStringLiteral("ios"), QStringLiteral("windows"),
           QStringLiteral("debian"), QStringLiteral("ubuntu")};
    const int idx = known.indexOf(productType);
    return idx >= 0 ? idx : 5;
}

// ---- database type ----

QString global::dbtype_toString(int type) const
{
    switch (type) {
    case eq36_96:
        return QStringLiteral("eq36_96");
    case thermoddem_19:
        return QStringLiteral("thermoddem_19");
    }
    qDebug() << ">> Unknown thermo database type [" << type << "] found.";
    qDebug() << "   Set to [ eq36_96 ].";
    return QStringLiteral("eq36_96");
}

global::thermo_data_type global::dbtype_toEnum(const QString &s) const
{
    if (s == QLatin1String("eq36_96"))
        return eq36_96;
    if (s == QLatin1String("thermoddem_19"))
        return thermoddem_19;
    qDebug() << ">> Unknown thermo database type [" << s << "] found.";
    qDebug() << "   set to [ eq36_96 ].";
    return eq36_96;
}

// ---- simulation type ----

QString global::simType_toString(int type) const
{
    if (type == batchSpcn)
        return QStringLiteral("batchSpcn");
    qDebug() << ">> Unknown simulation type [" << type << "] found.";
    qDebug() << "   Set to [ batchSpcn ].";
    return QStringLiteral("batchSpcn");
}

global::simulation_type global::simType_toEnum(const QString &s) const
{
    if (s == QLatin1String("batchSpcn"))
        return batchSpcn;
    qDebug() << ">> Unknown simulation type string [" << s << "] found";
    qDebug() << "   Set to type [ batchSpcn ].";
    return batchSpcn;
}

// ---- component type ----

QString global::componentType_toString(int type) const
{
    switch (type) {
    case chemElement:
        return QStringLiteral("chemElement");
    case redoxSolute:
        return QStringLiteral("redoxSolute");
    }
    return QStringLiteral("unknown_compType");
}

global::component_type global::componentType_toEnum(const QString &s) const
{
    if (s == QLatin1String("chemElement"))
        return chemElement;
    if (s == QLatin1String("redoxSolute"))
        return redoxSolute;
    qDebug() << ">> Unknown component type string [" << s << "] found";
    qDebug() << "   Set to type [ chemElement ].";
    return chemElement;
}

// ---- activity models ----

namespace {

const char *const activityTexts[]
    = {"ac_ideal", "ac_dh", "ac_dh_ext", "ac_dh_davies", "ac_dh_bdot"};
const char *const activityDisplay[] = {"ideal solution", "Debye-Huckel", "Extended Debye-Huckel",
                                       "Debye-Huckel Davies", "EQ36 B-Dot"};
const char *const activityWaterTexts[] = {"acw_ideal", "acw_mol_fr", "acw_dh_bdot"};
const char *const activityWaterDisplay[] = {"ideal solution", "mole fraction", "EQ36 B-Dot"};
const char *const speciesTexts[]
    = {"element", "basis", "aux", "aqueous", "solid", "liquid", "gas", "ideal"};
const char *const eqkTexts[] = {"eqkLog10_polynom", "eqk_TC_pair", "eqkLog10_TC_pair"};
const char *const concnTexts[] = {"molal", "Molar", "ppm"};

/// Index of `s` in `texts` (exact comparison), or -1.
template<std::size_t N>
int indexOfText(const char *const (&texts)[N], const QString &s)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (s == QLatin1String(texts[i]))
            return int(i);
    }
    return -1;
}

template<std::size_t N>
bool inRange(const char *const (&)[N], int value)
{
    return value >= 0 && value < int(N);
}

} // namespace

QString global::activityType_toString(int type) const
{
    if (inRange(activityTexts, type))
        return QLatin1String(activityTexts[type]);
    return QStringLiteral("unknown_actype");
}

global::activity_type global::activityType_toEnum(const QString &s) const
{
    const int idx = indexOfText(activityTexts, s);
    return idx >= 0 ? activity_type(idx) : unknown_actype;
}

QString global::activityType_Translate(int type) const
{
    if (inRange(activityDisplay, type))
        return QLatin1String(activityDisplay[type]);
    return QStringLiteral("unknown_actype");
}

QString global::activityWaterType_toString(int type) const
{
    if (inRange(activityWaterTexts, type))
        return QLatin1String(activityWaterTexts[type]);
    return QStringLiteral("unknown_acwtype");
}

global::activityWater_type global::activityWaterType_toEnum(const QString &s) const
{
    const int idx = indexOfText(activityWaterTexts, s);
    return idx >= 0 ? activityWater_type(idx) : unknown_acwtype;
}

QString global::activityWaterType_Translate(int type) const
{
    if (inRange(activityWaterDisplay, type))
        return QLatin1String(activityWaterDisplay[type]);
    return QStringLiteral("unknown_acwtype");
}

// ---- species type ----

QString global::speciesType_toString(int type) const
{
    if (inRange(speciesTexts, type))
        return QLatin1String(speciesTexts[type]);
    qDebug() << ">> Unknown species type [" << type << "] found.";
    return QStringLiteral("unknown_sptype");
}

global::data_species_type global::speciesType_toEnum(const QString &s) const
{
    const int idx = indexOfText(speciesTexts, s);
    if (idx >= 0)
        return data_species_type(idx);
    qDebug() << ">> Unknown species type string [" << s << "] found.";
    return unknown_sptype;
}

// ---- equilibrium-constant form ----

QString global::eqkType_toString(int type) const
{
    if (inRange(eqkTexts, type))
        return QLatin1String(eqkTexts[type]);
    qDebug() << ">> Unknown equation type [" << type << "] found.";
    qDebug() << "   set to [ eqkLog10_polynom ].";
    return QStringLiteral("eqkLog10_polynom");
}

global::eqk_eqn_type global::eqkType_toEnum(const QString &s) const
{
    const int idx = indexOfText(eqkTexts, s);
    if (idx >= 0)
        return eqk_eqn_type(idx);
    qDebug() << ">> Unknown equation type string [" << s << "] found.";
    qDebug() << "   Set to [ eqkLog10_polynom ].";
    return eqkLog10_polynom;
}

// ---- units ----

QString global::unitConcn_toString(int unit) const
{
    if (inRange(concnTexts, unit))
        return QLatin1String(concnTexts[unit]);
    qDebug() << ">> unknown concentration unit type found.";
    qDebug() << "   set to [ molal ].";
    return QStringLiteral("molal");
}

global::units_concn global::unitConcn_toEnum(const QString &s) const
{
    const int idx = indexOfText(concnTexts, s);
    if (idx >= 0)
        return units_concn(idx);
    qDebug() << ">> unknown concentration unit type string [" << s << "] found.";
    qDebug() << "   set to [ molal ].";
    return molal;
}

QString global::unitConcnGas_toString(int unit) const
{
    switch (unit) {
    case atm:
        return QStringLiteral("atm");
    case fugacity:
        return QStringLiteral("fugacity");
    }
    qDebug() << ">> Incomplete, toString: gas concentration unit set to [" << unit << "] found.";
    qDebug() << "   set to [ fugacity ].";
    return QStringLiteral("fugacity");
}

global::units_concn_gas global::unitConcnGas_toEnum(const QString &s) const
{
    if (s == QLatin1String("atm"))
        return atm;
    if (s == QLatin1String("fugacity"))
        return fugacity;
    qDebug() << ">> Incomplete, toEnum: gas concentration unit set to [" << s << "] found.";
    qDebug() << "   set to [ fugacity ].";
    return fugacity;
}

QString global::unitH_toString(int unit) const
{
    switch (unit) {
    case H:
        return QStringLiteral("H");
    case pH:
        return QStringLiteral("pH");
    }
    qDebug() << ">> Found, toString: unknown [H+] type [" << unit << "] found.";
    qDebug() << "   Set to [ H ].";
    return QStringLiteral("H");
}

global::units_H global::unitH_toEnum(const QString &s) const
{
    if (s == QLatin1String("H") || s == QLatin1String("[H+]"))
        return H;
    if (s == QLatin1String("pH"))
        return pH;
    qDebug() << ">> Found, toEnum: unknown [H+] type [" << s << "] found.";
    qDebug() << "   Set to [ H ].";
    return H;
}

// ---- alkalinity ----

QString global::typeAlkalinity_toString(int type) const
{
    switch (type) {
    case alk_base:
        return QStringLiteral("alk_base");
    case alk_total:
        return QStringLiteral("alk_total");
    case unknown_alk:
        return QStringLiteral("unknown_alktype");
    }
    qDebug() << ">> Found, toString: unknown alkalinity type [" << type << "] found.";
    return QStringLiteral("alk_base");
}

global::alkalinity_def_type global::typeAlkalinity_toEnum(const QString &s) const
{
    if (s == QLatin1String("alk_base"))
        return alk_base;
    if (s == QLatin1String("alk_total"))
        return alk_total;
    if (s == QLatin1String("unknown_alk"))
        return unknown_alk;
    qDebug() << ">> Found, toEnum: unknown alkalinity type [" << s << "] found.";
    return alk_base;
}
