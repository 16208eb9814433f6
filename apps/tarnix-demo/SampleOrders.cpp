#include "SampleOrders.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace tarnixdemo {

namespace {

// SplitMix64: a tiny generator whose sequence is fixed by its arithmetic
// alone. The standard library's distributions may differ between library
// versions, so the sample draws with plain integer arithmetic instead.
class Dice
{
public:
    explicit Dice(std::uint64_t seed) : m_state(seed) {}

    // 0 <= result < n. The bias of the modulo is far below what a sample notices.
    int below(int n)
    {
        m_state += 0x9e3779b97f4a7c15ULL;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z ^= z >> 31;
        return int(z % std::uint64_t(n));
    }

    qint64 between(qint64 low, qint64 high) // low <= result <= high
    {
        return low + below(int(high - low + 1));
    }

    template<typename T>
    const T &oneOf(std::span<const T> items)
    {
        return items[size_t(below(int(items.size())))];
    }

private:
    std::uint64_t m_state;
};

constexpr std::uint64_t Seed = 20250630;

struct NameBook
{
    int country;
    int weight; // share of the customers, out of the total of all weights
    std::span<const char *const> men;
    std::span<const char *const> women;
    // Surnames in their masculine and feminine forms (alike where the
    // language does not inflect them).
    std::span<const std::array<const char *, 2>> surnames;
    std::span<const char *const> cities;
};

// Greek names serve Greece and Cyprus alike.
constexpr const char *GreekMen[] = {"Γιώργος", "Νίκος", "Δημήτρης", "Κώστας", "Γιάννης",
                                    "Παναγιώτης", "Βασίλης", "Χρήστος", "Αντώνης", "Σπύρος"};
constexpr const char *GreekWomen[] = {"Μαρία", "Ελένη", "Αικατερίνη", "Σοφία", "Αναστασία",
                                      "Δήμητρα", "Γεωργία", "Ιωάννα", "Χριστίνα", "Αθηνά"};
constexpr std::array<const char *, 2> GreekSurnames[] = {
    {"Παπαδόπουλος", "Παπαδοπούλου"}, {"Γεωργίου", "Γεωργίου"},   {"Οικονόμου", "Οικονόμου"},
    {"Παπαδάκης", "Παπαδάκη"},         {"Βασιλείου", "Βασιλείου"}, {"Νικολάου", "Νικολάου"},
    {"Καραγιάννης", "Καραγιάννη"},     {"Μακρής", "Μακρή"},       {"Αθανασίου", "Αθανασίου"},
    {"Ιωάννου", "Ιωάννου"},           {"Σταματόπουλος", "Σταματοπούλου"}, {"Λαμπράκης", "Λαμπράκη"}};
constexpr const char *GreekCities[] = {"Αθήνα", "Αθήνα", "Αθήνα", "Θεσσαλονίκη", "Θεσσαλονίκη",
                                       "Πάτρα", "Ηράκλειο", "Λάρισα", "Βόλος", "Ιωάννινα"};
constexpr const char *CypriotCities[] = {"Λευκωσία", "Λευκωσία", "Λεμεσός", "Λάρνακα", "Πάφος"};

constexpr const char *GermanMen[] = {"Lukas", "Jonas", "Felix", "Stefan"};
constexpr const char *GermanWomen[] = {"Anna", "Sophie", "Katrin", "Julia"};
constexpr std::array<const char *, 2> GermanSurnames[] = {
    {"Müller", "Müller"}, {"Schmidt", "Schmidt"}, {"Schneider", "Schneider"},
    {"Fischer", "Fischer"}, {"Weber", "Weber"}, {"Wagner", "Wagner"}};
constexpr const char *GermanCities[] = {"Berlin", "München", "Hamburg", "Köln", "Frankfurt am Main"};

constexpr const char *FrenchMen[] = {"Louis", "Hugo", "Jules", "Étienne"};
constexpr const char *FrenchWomen[] = {"Camille", "Léa", "Chloé", "Manon"};
constexpr std::array<const char *, 2> FrenchSurnames[] = {
    {"Martin", "Martin"}, {"Bernard", "Bernard"}, {"Dubois", "Dubois"},
    {"Thomas", "Thomas"}, {"Lefèvre", "Lefèvre"}};
constexpr const char *FrenchCities[] = {"Paris", "Lyon", "Marseille", "Toulouse"};

constexpr const char *ItalianMen[] = {"Marco", "Luca", "Matteo", "Giovanni"};
constexpr const char *ItalianWomen[] = {"Giulia", "Francesca", "Chiara", "Alessia"};
constexpr std::array<const char *, 2> ItalianSurnames[] = {
    {"Rossi", "Rossi"}, {"Russo", "Russo"}, {"Ferrari", "Ferrari"},
    {"Esposito", "Esposito"}, {"Bianchi", "Bianchi"}, {"Romano", "Romano"}};
constexpr const char *ItalianCities[] = {"Roma", "Milano", "Napoli", "Torino", "Bari"};

constexpr const char *SpanishMen[] = {"Pablo", "Alejandro", "Daniel", "Javier"};
constexpr const char *SpanishWomen[] = {"Lucía", "Martina", "Sofía", "Carmen"};
constexpr std::array<const char *, 2> SpanishSurnames[] = {
    {"García", "García"}, {"Fernández", "Fernández"}, {"González", "González"},
    {"Rodríguez", "Rodríguez"}, {"López", "López"}};
constexpr const char *SpanishCities[] = {"Madrid", "Barcelona", "Valencia", "Sevilla"};

constexpr const char *BulgarianMen[] = {"Ivan", "Georgi", "Dimitar", "Nikolay"};
constexpr const char *BulgarianWomen[] = {"Maria", "Elena", "Desislava", "Ivanka"};
constexpr std::array<const char *, 2> BulgarianSurnames[] = {
    {"Ivanov", "Ivanova"}, {"Georgiev", "Georgieva"}, {"Petrov", "Petrova"},
    {"Dimitrov", "Dimitrova"}};
constexpr const char *BulgarianCities[] = {"Sofia", "Plovdiv", "Varna"};

constexpr const char *AlbanianMen[] = {"Arben", "Besnik", "Ilir", "Gentian"};
constexpr const char *AlbanianWomen[] = {"Elira", "Mirela", "Anila", "Jonida"};
constexpr std::array<const char *, 2> AlbanianSurnames[] = {
    {"Hoxha", "Hoxha"}, {"Shehu", "Shehu"}, {"Leka", "Leka"}, {"Basha", "Basha"}};
constexpr const char *AlbanianCities[] = {"Tiranë", "Durrës", "Vlorë"};

constexpr const char *TurkishMen[] = {"Mehmet", "Mustafa", "Ahmet", "Emre"};
constexpr const char *TurkishWomen[] = {"Ayşe", "Fatma", "Elif", "Zeynep"};
constexpr std::array<const char *, 2> TurkishSurnames[] = {
    {"Yılmaz", "Yılmaz"}, {"Kaya", "Kaya"}, {"Demir", "Demir"}, {"Şahin", "Şahin"}};
constexpr const char *TurkishCities[] = {"İstanbul", "İzmir", "Ankara"};

constexpr const char *BritishMen[] = {"James", "Oliver", "Harry", "George"};
constexpr const char *BritishWomen[] = {"Olivia", "Amelia", "Emily", "Jessica"};
constexpr std::array<const char *, 2> BritishSurnames[] = {
    {"Smith", "Smith"}, {"Jones", "Jones"}, {"Taylor", "Taylor"},
    {"Brown", "Brown"}, {"Williams", "Williams"}};
constexpr const char *BritishCities[] = {"London", "Manchester", "Birmingham", "Leeds"};

constexpr const char *AmericanMen[] = {"Michael", "David", "John", "Robert"};
constexpr const char *AmericanWomen[] = {"Jennifer", "Linda", "Sarah", "Megan"};
constexpr std::array<const char *, 2> AmericanSurnames[] = {
    {"Johnson", "Johnson"}, {"Miller", "Miller"}, {"Davis", "Davis"},
    {"Wilson", "Wilson"}, {"Anderson", "Anderson"}};
constexpr const char *AmericanCities[] = {"New York", "Chicago", "Boston", "Seattle"};

// Codes of the countries value list; most customers are Greek.
const NameBook Books[] = {
    {300, 140, GreekMen, GreekWomen, GreekSurnames, GreekCities},
    {196, 40, GreekMen, GreekWomen, GreekSurnames, CypriotCities},
    {276, 28, GermanMen, GermanWomen, GermanSurnames, GermanCities},
    {250, 20, FrenchMen, FrenchWomen, FrenchSurnames, FrenchCities},
    {380, 22, ItalianMen, ItalianWomen, ItalianSurnames, ItalianCities},
    {724, 14, SpanishMen, SpanishWomen, SpanishSurnames, SpanishCities},
    {100, 14, BulgarianMen, BulgarianWomen, BulgarianSurnames, BulgarianCities},
    {8, 10, AlbanianMen, AlbanianWomen, AlbanianSurnames, AlbanianCities},
    {792, 10, TurkishMen, TurkishWomen, TurkishSurnames, TurkishCities},
    {826, 14, BritishMen, BritishWomen, BritishSurnames, BritishCities},
    {840, 8, AmericanMen, AmericanWomen, AmericanSurnames, AmericanCities},
};

const NameBook &bookOf(Dice &dice)
{
    int total = 0;
    for (const NameBook &book : Books)
        total += book.weight;
    int roll = dice.below(total);
    for (const NameBook &book : Books) {
        if (roll < book.weight)
            return book;
        roll -= book.weight;
    }
    return Books[0];
}

constexpr const char *GreekNotes[] = {"Παράδοση μετά τις 17:00", "Τηλεφωνήστε πριν την παράδοση",
                                      "Συσκευασία δώρου", "Εύθραυστο", "Τιμολόγιο στην έδρα",
                                      "Επείγον"};
constexpr const char *EnglishNotes[] = {"Deliver after 17:00", "Call before delivery", "Gift wrap",
                                        "Fragile", "Invoice to head office", "Urgent"};

constexpr int New = 1, Confirmed = 2, Shipped = 3, Delivered = 4, Cancelled = 5;

// An order moves on with age: recent ones are new or confirmed, old ones
// delivered or cancelled, and a few old ones are stuck on the way.
int statusForAge(qint64 days, Dice &dice)
{
    const int roll = dice.below(100);
    if (days <= 7)
        return roll < 50 ? New : roll < 90 ? Confirmed : Cancelled;
    if (days <= 30)
        return roll < 25 ? Confirmed : roll < 75 ? Shipped : roll < 95 ? Delivered : Cancelled;
    return roll < 85 ? Delivered : roll < 92 ? Cancelled : roll < 97 ? Shipped : Confirmed;
}

// Mostly small orders, some of a few hundred euros and a tenth above 1,500.
qint64 amountInCents(Dice &dice)
{
    const int roll = dice.below(100);
    if (roll < 60)
        return dice.between(1'500, 30'000);
    if (roll < 90)
        return dice.between(30'000, 150'000);
    return dice.between(150'000, 600'000);
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

QDate sampleToday()
{
    return QDate(2025, 6, 30);
}

QList<SampleCustomer> sampleCustomers()
{
    Dice dice(Seed);
    const QDate firstSince(2012, 1, 1);
    const int sinceDays = int(firstSince.daysTo(QDate(2024, 12, 31)));
    QList<SampleCustomer> customers;
    customers.reserve(SampleCustomerCount);
    for (int id = 1; id <= SampleCustomerCount; ++id) {
        const NameBook &book = bookOf(dice);
        const bool woman = dice.below(2) == 1;
        const auto &surname = dice.oneOf(book.surnames);
        const QString name = text(woman ? dice.oneOf(book.women) : dice.oneOf(book.men))
                             + QLatin1Char(' ') + text(surname[woman ? 1 : 0]);
        customers.append({id, name, text(dice.oneOf(book.cities)), book.country,
                          firstSince.addDays(dice.below(sinceDays + 1))});
    }
    return customers;
}

QList<SampleOrder> sampleOrders(const QList<SampleCustomer> &customers)
{
    Dice dice(Seed + 1);
    const QDate firstDay(2023, 1, 1);
    const QDate today = sampleToday();
    const int count = int(customers.size());
    QList<SampleOrder> orders;
    orders.reserve(SampleOrderCount);
    for (int i = 0; i < SampleOrderCount; ++i) {
        // The lower of two draws: some customers order far more than others.
        const SampleCustomer &customer = customers[std::min(dice.below(count), dice.below(count))];
        const QDate from = std::max(firstDay, customer.since);
        const QDate date = from.addDays(dice.between(0, from.daysTo(today)));
        const qint64 cents = amountInCents(dice);
        const int status = statusForAge(date.daysTo(today), dice);
        QString notes;
        if (dice.below(100) < 15) {
            const bool greek = customer.country == 300 || customer.country == 196;
            notes = text(greek ? dice.oneOf(std::span<const char *const>(GreekNotes))
                               : dice.oneOf(std::span<const char *const>(EnglishNotes)));
        }
        orders.append({0, customer.id, date, cents, status, notes});
    }
    // Order numbers follow the order date, as a shop's numbering does.
    std::stable_sort(orders.begin(), orders.end(),
                     [](const SampleOrder &a, const SampleOrder &b) { return a.date < b.date; });
    int number = 100'001;
    for (SampleOrder &order : orders)
        order.number = number++;
    return orders;
}

} // namespace tarnixdemo
