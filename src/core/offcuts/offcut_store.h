#pragma once

#include "core/plans/cutting_plan.h"
#include "core/plans/list_plan.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The offcut store (余料库): offcuts that cutting plans kept, in a JSON file
// beside the lists, each with its grade, diameter and where it was cut. The
// next plan of the same grade and diameter may take them before new stock;
// accepting that plan marks them used and adds the offcuts it keeps.
namespace offcuts {

inline constexpr int kStoreVersion = 1;
// The file name offered beside a list.
inline constexpr char16_t kDefaultStoreName[] = u"余料库.json";

// Where an offcut was cut: the list's file name, the members and marks of
// the pieces cut from the same bar, and the bar's pattern.
struct Origin {
    QString list;
    QString members;
    QString pattern;

    bool operator==(const Origin&) const = default;
};

struct Offcut {
    QString id; // stable: edits and plans name offcuts by it
    long long length = 0;
    QString grade;
    int diameter = 0;
    long long count = 1; // bars alike
    Origin origin;
    QDate added;
    bool used = false;
    QString usedBy; // the list whose plan took it
    QDate usedOn;

    bool operator==(const Offcut&) const = default;
};

struct Store {
    QList<Offcut> entries;

    bool operator==(const Store&) const = default;
    const Offcut* find(const QString& id) const;
    Offcut* find(const QString& id);
};

// A fresh id that no other offcut has.
QString newId();

QByteArray storeToJson(const Store& store);
struct ReadStore {
    std::optional<Store> store;
    QString error; // why the file was refused, in Chinese
};
ReadStore storeFromJson(const QByteArray& bytes);
// A file that does not exist yet is an empty store.
ReadStore readStore(const QString& path);
// The reason in Chinese when it could not be written; the old file is kept.
std::optional<QString> writeStore(const QString& path, const Store& store);

// The unused offcuts of one grade and diameter as stock, one entry a length
// (longest first), each with how many there are.
QList<plans::StockLength> offcutStock(const Store& store, const QString& grade, int diameter);
// The same for every grade and diameter in the store.
plans::OffcutsOnOffer offcutsOnOffer(const Store& store);

// `count` bars taken from the offcut `id`. Where the entry holds more bars,
// the bars taken become an entry of their own, `splitId`, and the rest stay.
struct Take {
    QString id;
    long long count = 0;
    QString splitId; // empty: the whole entry is taken

    bool operator==(const Take&) const = default;
};

// What accepting a plan does to the store: the offcuts it takes and the
// ones it keeps. Applied and reverted exactly, by id.
struct Delta {
    QList<Take> taken;
    QList<Offcut> added;
    QString usedBy;
    QDate on;
    long long shortOf = 0; // bars the plan took that the store no longer had

    bool isEmpty() const { return taken.isEmpty() && added.isEmpty(); }
    bool operator==(const Delta&) const = default;
};

// The delta of `plan` against the store as it is now: its offcut bars
// taken from the unused entries of their grade, diameter and length, oldest
// first (when `take`), and the offcuts its patterns keep added (when `keep`).
Delta planDelta(const Store& store, const plans::Plan& plan, const QString& listName,
                const QDate& today, bool take, bool keep);

// Empty on success; otherwise why not, and the store is left as it was.
QString apply(Store& store, const Delta& delta);
QString revert(Store& store, const Delta& delta);
// The same on the file, read again first so that what another window wrote
// meanwhile is kept.
QString applyToFile(const QString& path, const Delta& delta);
QString revertInFile(const QString& path, const Delta& delta);

} // namespace offcuts
