#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"
#include "core/shop/bvbs_list.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Bundle tags (料牌): the tag tied to each bundle of cut and bent bars, so
// that the fixers find the right bars. One tag per row of the list, or per
// bundle of at most so many bars; each says project, member and how many,
// mark, grade and diameter, the shape's dimensions, cut length, bars and
// mass, and carries a QR code with the row's bender line (BVBS BF2D) for a
// scanner at a bender.
namespace tags {

struct TagSettings {
    // At most this many bars to a bundle, each bundle with a tag of its own;
    // 0: one tag for all the row's bars.
    int barsPerBundle = 0;
    // The bender line's text as the list's BVBS file has it: Chinese dropped
    // or in pinyin, the list's name.
    shop::BvbsSettings bvbs;
};

// A row's bars as one tag ties them, for the text its QR code carries.
struct TagRow {
    const schedule::CuttingList& list;
    int member = -1;
    int row = -1;
    const schedule::RowResult& result;
    long long bars = 0; // on this tag
};

// The text a tag's QR code carries.
using QrTextOf = std::function<QString(const TagRow&)>;

struct BundleTag {
    int member = -1;
    int row = -1;
    QString project;
    QString memberName;
    int memberCount = 1;
    schedule::BarRow bar;    // mark, shape, grade, diameter, dimensions, count per member
    long long cutLength = 0; // mm
    long long bars = 0;      // on this tag
    long long rowBars = 0;   // of the row, all its bundles
    int bundle = 1;          // 1-based
    int bundles = 1;
    long long massMg = 0; // the bars on this tag
    QString qrText;
};

struct TagSet {
    QList<BundleTag> tags;
    // One line per row that gets no tag: it cannot be worked out.
    QStringList leftOut;
};

// The tags of the list in its order, member by member and row by row. A row
// with a problem gets none and is named in `leftOut`; a row of no bars gets
// none either. `qrText` empty: the row's BVBS line (shop/bvbs_list.h) with
// the bars of the tag's bundle as its n, so that a bender loads what the
// bundle holds; a plain line where BF2D cannot carry the shape (hoops and
// spirals).
TagSet bundleTags(const schedule::CuttingList& list, const schedule::ComputedList& computed,
                  const TagSettings& settings, const QrTextOf& qrText = {});

// A plain line naming the row's bars, for a QR code where the bender's
// format has no place for the shape: "三号楼|KL1|1|HRB400|10|hoop|D=600
// 搭接 400|L=2254|n=8".
QString plainTagLine(const TagRow& tagRow);

// The tag's texts.
QString memberText(const BundleTag& tag);    // "KL1 × 4 件"
QString barText(const BundleTag& tag);       // "HRB400 Φ25"
QString barsText(const BundleTag& tag);      // "8 根"
QString perMemberText(const BundleTag& tag); // "每件 2 根"
QString massText(const BundleTag& tag);      // "631.47 kg", to 0.01 kg
QString bundleText(const BundleTag& tag);    // "第 2/3 捆"; empty for a row in one bundle

} // namespace tags
