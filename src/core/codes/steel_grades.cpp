#include "core/codes/steel_grades.h"

namespace codes {

namespace {
struct GradeRow {
    SteelGrade grade;
    const char* name;
    int strength;
};
constexpr GradeRow kGrades[] = {
    {SteelGrade::HPB300, "HPB300", 300},   {SteelGrade::HRB335, "HRB335", 335},
    {SteelGrade::HRB400, "HRB400", 400},   {SteelGrade::HRB400E, "HRB400E", 400},
    {SteelGrade::HRBF400, "HRBF400", 400}, {SteelGrade::RRB400, "RRB400", 400},
    {SteelGrade::HRB500, "HRB500", 500},   {SteelGrade::HRB500E, "HRB500E", 500},
    {SteelGrade::HRBF500, "HRBF500", 500},
};

const GradeRow& row(SteelGrade grade) {
    for (const GradeRow& r : kGrades)
        if (r.grade == grade)
            return r;
    return kGrades[0];
}
} // namespace

const QList<SteelGrade>& offeredGrades() {
    static const QList<SteelGrade> grades{SteelGrade::HPB300, SteelGrade::HRB400,
                                          SteelGrade::HRB400E, SteelGrade::HRB500,
                                          SteelGrade::HRB500E};
    return grades;
}

QString gradeName(SteelGrade grade) {
    return QString::fromLatin1(row(grade).name);
}

std::optional<SteelGrade> gradeFromName(const QString& name) {
    const QString wanted = name.trimmed().toUpper();
    for (const GradeRow& r : kGrades)
        if (wanted == QLatin1String(r.name))
            return r.grade;
    return std::nullopt;
}

bool isPlain(SteelGrade grade) {
    return grade == SteelGrade::HPB300;
}

int strengthClass(SteelGrade grade) {
    return row(grade).strength;
}

} // namespace codes
