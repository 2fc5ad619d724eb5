#include "support/OccupationFixtures.h"

#include <QStringList>

#include "lists/OccupationSchema.h"

namespace jet4 {

TableDef occupationTable(const std::vector<OccupationRow>& rows) {
    TableDef table = lists::occupationTableSchema();
    table.rows.reserve(rows.size());
    std::int64_t id = 0;
    for (const OccupationRow& row : rows) {
        std::vector<Value> values;
        values.reserve(4);
        values.emplace_back(++id);
        values.emplace_back(row.code.isNull() ? Value() : Value(row.code));
        values.emplace_back(row.name.isNull() ? Value() : Value(row.name));
        values.emplace_back(row.parent.isNull() ? Value() : Value(row.parent));
        table.rows.push_back(std::move(values));
    }
    return table;
}

namespace {

// A small, fixed pseudo-random sequence (xorshift32), so fixtures never
// depend on the standard library's distributions.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }

private:
    std::uint32_t state_;
};

const QStringList& firstWords() {
    static const QStringList words = {
        "Bilgisayar",  "İnşaat",  "Gıda",    "Çağrı Merkezi", "Şehir",   "Orman",
        "Elektrik",    "Makine",  "Tekstil", "Güvenlik",      "Ölçüm",   "Uçak",
        "Işık",        "Deniz",   "Ağaç",    "Kimya",         "Sağlık",  "Eğitim",
        "Müzik",       "Tarım",   "Hayvan",  "Kâğıt",         "Döküm",   "Otel",
        "Büro",        "Kuyumcu", "Çelik",   "Boya",          "Yazılım", "İplik",
        "Su Ürünleri", "Cam",     "Lastik",  "Mobilya",       "Köprü",   "Maden"};
    return words;
}

const QStringList& secondWords() {
    static const QStringList words = {
        "Mühendisi", "Teknisyeni", "Operatörü", "Ustası",     "İşçisi",      "Elemanı",
        "Uzmanı",    "Görevlisi",  "Öğretmeni", "Yöneticisi", "Şefi",        "Kalfası",
        "Çırağı",    "Denetçisi",  "Memuru",    "Sorumlusu",  "Tasarımcısı", "Montajcısı"};
    return words;
}

const QStringList& qualifiers() {
    static const QStringList words = {"",          "",           "",         "",
                                      " (Kamyon)", " (Otel)",    " (Gemi)",  " (Maden)",
                                      " (Döküm)",  " (Şantiye)", " (Ilgaz)", " (İzmir)"};
    return words;
}

}  // namespace

std::vector<OccupationRow> syntheticOccupations(int count, std::uint32_t seed) {
    Sequence random(seed);
    std::vector<OccupationRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        OccupationRow row;
        row.code = QStringLiteral("%1.%2")
                       .arg(random.below(10000), 4, 10, QLatin1Char('0'))
                       .arg(random.below(100), 2, 10, QLatin1Char('0'));
        const QString& first = firstWords().at(random.below(int(firstWords().size())));
        const QString& second = secondWords().at(random.below(int(secondWords().size())));
        const QString& qualifier = qualifiers().at(random.below(int(qualifiers().size())));
        row.name = first + QLatin1Char(' ') + second + qualifier;
        if (random.below(8) == 0) row.name = row.name.toUpper();
        if (random.below(3) != 0) row.parent = first + QStringLiteral(" Meslekleri");
        rows.push_back(std::move(row));
    }
    return rows;
}

DatabaseDef occupationDatabase(const std::vector<OccupationRow>& rows, const QString& password) {
    DatabaseDef database;
    database.password = password;
    database.tables.push_back(occupationTable(rows));
    return database;
}

}  // namespace jet4
