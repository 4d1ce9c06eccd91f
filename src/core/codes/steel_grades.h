#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Steel grades of reinforcing bars as drawings and delivery notes name them.
namespace codes {

// HRBF: fine-grained hot-rolled (GB/T 1499.2); RRB400: remained heat-treated
// (GB 13014); E: for seismic members.
enum class SteelGrade {
    HPB300,
    HRB335,
    HRB400,
    HRB400E,
    HRBF400,
    RRB400,
    HRB500,
    HRB500E,
    HRBF500
};

// The grades offered for new rows. HRB335 is withdrawn from GB/T 1499.2-2018
// but still read from older lists and drawings, so it is known, not offered.
const QList<SteelGrade>& offeredGrades();

QString gradeName(SteelGrade grade);
// Reads a grade name as written ("HRB400E", "hrb400e", " HRB400 "); nothing
// for a name that is not a grade.
std::optional<SteelGrade> gradeFromName(const QString& name);

// Plain round bars (GB/T 1499.1) as against ribbed bars (GB/T 1499.2).
bool isPlain(SteelGrade grade);
// Characteristic yield strength class in MPa: 300, 335, 400 or 500.
int strengthClass(SteelGrade grade);

} // namespace codes
