#pragma once

// What one fuzz input goes through: the ".jsdb" configuration reader (then the
// writers and the speciation engine on whatever it accepted) and the data0 reader
// (then the log K fit and the database writer).
// Used by the libFuzzer targets and by the regression test that replays every
// input once found to fail, so both exercise exactly the same calls.

#include "copy_struct.h"
#include "data0_reader.h"
#include "dbparse_writer.h"
#include "jsdbfile_mgr.h"
#include "poly_fit.h"
#include "records.h"
#include "return_codes.h"
#include "sbatch.h"
#include "sim0D.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz_entries {

/// Stops the run when a promise of the code under test is broken, so the fuzzer
/// keeps the input (a sanitizer report is not the only kind of failure).
inline void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
        std::abort();
    }
}

/// Saves the configuration `sd` to `path` the way the program does, and returns
/// the text written with the header's time of writing blanked.
inline QByteArray saveAll(sim_data *sd, const QString &path)
{
    sbatch batch;
    sim_data *own = batch.sdata;
    batch.sdata = sd; // borrowed for the save; handed back below
    sd->file = path;
    jsdbfile_mgr writer;
    const int rc = writer.jsdbfile_json_save(&batch);
    batch.sdata = own;
    require(rc == return_codes::success, "a configuration saves to a writable folder");
    QFile f(path);
    require(f.open(QIODevice::ReadOnly), "a saved configuration can be opened");
    static const QRegularExpression date(QStringLiteral("\"date\": \"[^\"]*\""));
    return QString::fromUtf8(f.readAll()).replace(date, QStringLiteral("\"date\": \"\"")).toUtf8();
}

/// Deep copies of what the windows copy from a configuration read from a file.
inline void copyAll(const sim_data *sd)
{
    copy_struct cp;
    if (sd->ctrlset)
        delete cp.copy_ctrlset(sd->ctrlset);
    for (const one_water *w : sd->waters)
        delete cp.copy_water(w);
    for (const one_rxn *r : sd->rxnsAqueous)
        delete cp.copy_rxn(r);
    for (const one_rxn *r : sd->rxnsGas)
        delete cp.copy_rxn(r);
    for (const one_redoxRxn *r : sd->rxnsRedox)
        delete cp.copy_redoxRxn(r);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

/// Speciates the first waters of a configuration read from a file: whatever the
/// file holds, the engine refuses or runs, and a run reported as converged has
/// finite results.
inline void speciateWaters(sim_data *sd)
{
    for (int i = 0; i < sd->waters.size() && i < 3; ++i) {
        sim0D model;
        const int rc = model.driver(sd, sd->waters.at(i));
        const bool quiet = model.listErrorMsgs()->isEmpty();
        std::unique_ptr<one_water_result> r(model.results());
        require(rc != 0 || (r->converged && quiet), "success only for a converged run");
        require(rc == 0 || !quiet, "a failed run says why");
        if (rc != 0)
            continue;
        require(std::isfinite(r->resultpH) && std::isfinite(r->ionicstrength),
                "a converged run has a finite pH and ionic strength");
        for (const one_waterResult_solute *s : r->soln_aq)
            require(std::isfinite(s->cmolal) && std::isfinite(s->gamma),
                    "a converged run has finite molalities");
    }
}

/// Reads `bytes` as a ".jsdb" file stored at `scratchPath`. When the reader accepts
/// it (wholly or in part), the configuration is copied, its first waters are
/// speciated, it is saved, and the saved file must itself be accepted by the
/// reader. Returns the first read code.
inline int jsdb_one(const uint8_t *data, size_t size, const QString &scratchPath)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!writeFile(scratchPath, bytes))
        return -1;
    jsdbfile_mgr mgr;
    const int rc = mgr.jsdbfile_json_read(scratchPath);
    require(rc == return_codes::success || rc == 1 || rc == return_codes::fileNotOpened,
            "the reader returns 0, 1 or 2");
    require(rc != return_codes::fileNotOpened || !mgr.messages().isEmpty(),
            "a refused file comes with a reason");
    if (rc == return_codes::fileNotOpened)
        return rc;
    require(mgr.sdata->nwaters == mgr.sdata->waters.size(), "nwaters equals the water list");
    copyAll(mgr.sdata);
    speciateWaters(mgr.sdata);
    saveAll(mgr.sdata, scratchPath);
    jsdbfile_mgr again;
    const int rc2 = again.jsdbfile_json_read(scratchPath);
    require(rc2 == return_codes::success || rc2 == 1, "a written configuration reads back");
    require(again.sdata->waters.size() == mgr.sdata->waters.size(),
            "every water survives the round trip");
    // Records come back sorted by name, so the first save may reorder them; from
    // then on saving what was read back writes the same text.
    const QByteArray second = saveAll(again.sdata, scratchPath);
    jsdbfile_mgr third;
    third.jsdbfile_json_read(scratchPath);
    require(saveAll(third.sdata, scratchPath) == second, "a configuration saved twice is stable");
    return rc;
}

/// Reads `bytes` as a data0 file and, when accepted, fits every log K grid the way
/// the database writer does and writes the reference database to `dbTarget`
/// (skipped when empty). Every number accepted must be finite; the writer stores
/// the file or refuses it with a reason and without leaving a file.
inline int data0_one(const uint8_t *data, size_t size, const QString &dbTarget)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    auto file = std::make_unique<data0_file>();
    QStringList msgs;
    data0_reader reader;
    const int rc = reader.read_text(bytes, QStringLiteral("fuzz"), file.get(), &msgs);
    require(rc == return_codes::success || !msgs.isEmpty(), "a refused file comes with a reason");
    if (rc != return_codes::success)
        return rc;
    require(file->temperatures.size() == data0_gridSize, "the grid has its eight temperatures");
    for (double t : file->temperatures)
        require(std::isfinite(t), "grid temperatures are finite");
    for (const data0_species &sp : file->species) {
        if (!sp.hasGrid)
            continue;
        QList<double> x, y;
        for (int i = 0; i < data0_gridSize; ++i) {
            require(std::isfinite(sp.logK[i]), "log K values are finite");
            if (sp.valid[i]) {
                x << file->temperatures.at(i);
                y << sp.logK[i];
            }
        }
        const QList<double> c = poly_fit::interpolate(x, y);
        require(c.size() == x.size(), "one coefficient per valid point");
    }
    if (dbTarget.isEmpty())
        return rc;
    QFile::remove(dbTarget);
    dbparse_counts counts;
    QStringList writeMsgs;
    dbparse_writer writer;
    const int wrc = writer.write(*file, dbTarget, &counts, &writeMsgs);
    if (wrc == return_codes::success) {
        require(QFile::exists(dbTarget), "a database reported written exists");
        require(counts.elements == file->elements.size(), "every element is written");
    } else {
        // The writer may still refuse (a grid no polynomial reproduces), but says
        // why and leaves no file behind.
        require(!writeMsgs.isEmpty(), "a refused database comes with a reason");
        require(!QFile::exists(dbTarget), "a refused database leaves no file");
    }
    return rc;
}

} // namespace fuzz_entries
