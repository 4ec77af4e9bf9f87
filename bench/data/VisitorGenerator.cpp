#include "VisitorGenerator.h"
#include "db/CategoryFile.h"
#include "db/DatabaseError.h"
#include "db/DayIndex.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "visitors/IdentityNumber.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace {

// Common surnames, the most frequent first; picked with a falling weight.
const QStringList& surnames()
{
    static const QStringList list =
        QStringLiteral("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹 "
                       "彭 曾 肖 田 董 袁 潘 于 蒋 蔡 余 杜 叶 程 苏 魏 吕 丁 任 沈 姚 卢 姜 崔 钟 谭 陆 汪 范 金 "
                       "石 廖 贾 夏 韦 付 方 白 邹 孟 熊 秦 邱 江 尹 薛 闫 段 雷 侯 龙 史 陶 黎 贺 顾 毛 郝 龚 邵 "
                       "万 钱 严 覃 武 戴 莫 孔 向 汤 欧阳 司马 上官 诸葛")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& givenNameCharacters()
{
    static const QStringList list =
        QStringLiteral("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀 霞 平 刚 桂 英 华 建 国 文 辉 玲 红 "
                       "鹏 飞 浩 宇 轩 涵 欣 怡 子 梓 晨 博 雨 思 佳 琪 嘉 俊 婷 雪 海 波 宁 志 峰 斌 鑫 亮 林 兰 "
                       "春 燕 凤 云 玉 萍 梅 琳 丹 晶 颖 倩 慧 巧 美 娇 淑 惠 珠 翠 莉 菊 荣 毅 祥 德 福 生 龙 元")
            .split(QLatin1Char(' '));
    return list;
}

// Six-digit region codes of identity numbers.
const QStringList& regionCodes()
{
    static const QStringList list =
        QStringLiteral("110101 110105 110108 120101 130102 140105 210102 220102 230103 310101 310104 310115 320102 "
                       "320506 330106 330203 340104 350203 360102 370102 370203 410105 420106 430104 440103 440106 "
                       "440305 440306 441900 450103 460106 500103 510104 510107 520102 530102 610113 620102 640104")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& mobilePrefixes()
{
    static const QStringList list =
        QStringLiteral("130 131 132 133 135 136 137 138 139 150 151 152 155 156 157 158 159 176 177 180 181 182 183 "
                       "185 186 187 188 189 198 199")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& areaCodes()
{
    static const QStringList list =
        QStringLiteral("010 020 021 022 023 024 025 027 028 029 0311 0371 0431 0451 0531 0551 0571 0591 0731 0755 "
                       "0757 0769 0771 0851 0871")
            .split(QLatin1Char(' '));
    return list;
}

// Province, then cities of that province.
struct Province {
    QString name;
    QStringList cities;
};

const std::vector<Province>& provinces()
{
    static const std::vector<Province> list = {
        {QStringLiteral("北京市"), {QStringLiteral("")}},
        {QStringLiteral("上海市"), {QStringLiteral("")}},
        {QStringLiteral("广东省"), QStringLiteral("广州市 深圳市 东莞市 佛山市 珠海市").split(QLatin1Char(' '))},
        {QStringLiteral("浙江省"), QStringLiteral("杭州市 宁波市 温州市 绍兴市").split(QLatin1Char(' '))},
        {QStringLiteral("江苏省"), QStringLiteral("南京市 苏州市 无锡市 常州市").split(QLatin1Char(' '))},
        {QStringLiteral("山东省"), QStringLiteral("济南市 青岛市 烟台市 潍坊市").split(QLatin1Char(' '))},
        {QStringLiteral("河南省"), QStringLiteral("郑州市 洛阳市 开封市").split(QLatin1Char(' '))},
        {QStringLiteral("四川省"), QStringLiteral("成都市 绵阳市 宜宾市").split(QLatin1Char(' '))},
        {QStringLiteral("湖北省"), QStringLiteral("武汉市 宜昌市 襄阳市").split(QLatin1Char(' '))},
        {QStringLiteral("湖南省"), QStringLiteral("长沙市 株洲市 岳阳市").split(QLatin1Char(' '))},
        {QStringLiteral("福建省"), QStringLiteral("福州市 厦门市 泉州市").split(QLatin1Char(' '))},
    };
    return list;
}

const QStringList& districts()
{
    static const QStringList list =
        QStringLiteral("朝阳区 海淀区 东城区 西城区 浦东新区 徐汇区 天河区 越秀区 南山区 福田区 宝安区 西湖区 拱墅区 "
                       "鼓楼区 玄武区 历下区 市南区 金水区 武侯区 锦江区 江汉区 岳麓区 思明区 新城区 高新区")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& roads()
{
    static const QStringList list =
        QStringLiteral("人民路 解放路 中山路 建设路 和平路 新华路 胜利路 朝阳路 长江路 黄河路 文化路 青年路 "
                       "科技园路 工业大道 滨江大道 学院路 光明街 幸福里 东风路 南京路")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& reasons()
{
    static const QStringList list =
        QStringLiteral("送货 送快递 送外卖 拜访客户 面试 商务洽谈 设备维修 会议 探亲 装修施工 "
                       "收取文件 参观学习 业务办理 安装网络 抄表 取件 送资料 应聘 培训 物业巡查")
            .split(QLatin1Char(' '));
    return list;
}

const QStringList& remarkLines()
{
    static const QStringList list =
        QStringLiteral("随身携带笔记本电脑一台 已登记车牌 由前台陪同 已电话确认 访客证已收回 需要开具出入证明 "
                       "携带工具箱 雨天放置雨伞于门卫室 已预约 下午再来 同行两人 已核对证件 驾驶货车入园 "
                       "联系人为行政部 离开时未归还访客证 已告知安全须知")
            .split(QLatin1Char(' '));
    return list;
}

// The planted rarities: each appears in about one row in a thousand and
// nowhere else in the lists above.
const QString kRareSurname = QStringLiteral("慕容");
const QString kRareRegion = QStringLiteral("652901");
const QString kRareMobile = QStringLiteral("17400");
const QString kRareArea = QStringLiteral("0903-");
const QString kRareCity = QStringLiteral("石河子市");
const QString kRareReason = QStringLiteral("消防检查");
const QString kRareRemark = QStringLiteral("寄存贵重物品");
constexpr int kRarity = 1000;

// zh_CN clock text: short date, a blank, long time.
QString clockText(const QDateTime& t) { return t.toString(QStringLiteral("yyyy/M/d HH:mm:ss")); }

QString fail(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

bool exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

} // namespace

TVisitorGenerator::TVisitorGenerator(std::uint64_t seed) : state_(seed ^ 0x5EED5EED5EEDull) {}

// splitmix64: small, fast and the same everywhere.
std::uint64_t TVisitorGenerator::nextRandom()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int TVisitorGenerator::below(int n) { return static_cast<int>(nextRandom() % static_cast<std::uint64_t>(n)); }

bool TVisitorGenerator::oneIn(int n) { return below(n) == 0; }

QString TVisitorGenerator::pick(const QStringList& list) { return list[below(static_cast<int>(list.size()))]; }

QString TVisitorGenerator::digits(int count)
{
    QString s;
    s.reserve(count);
    for (int i = 0; i < count; ++i)
        s += QChar(u'0' + below(10));
    return s;
}

QString TVisitorGenerator::name()
{
    if (oneIn(kRarity))
        return kRareSurname + pick(givenNameCharacters());
    // Lower indices (the common surnames) come up more often.
    const int n = static_cast<int>(surnames().size());
    const int index = std::min(below(n), below(n));
    QString result = surnames()[index] + pick(givenNameCharacters());
    if (below(3) != 0)
        result += pick(givenNameCharacters());
    return result;
}

QString TVisitorGenerator::identityNumber()
{
    const QString region = oneIn(kRarity) ? kRareRegion : pick(regionCodes());
    const QDate birth = QDate(1950, 1, 1).addDays(below(365 * 55));
    const QString first17 = region + birth.toString(QStringLiteral("yyyyMMdd")) + digits(3);
    return first17 + IdentityCheckDigit(first17);
}

QString TVisitorGenerator::mobile()
{
    if (oneIn(kRarity))
        return kRareMobile + digits(6);
    return pick(mobilePrefixes()) + digits(8);
}

QString TVisitorGenerator::telephone()
{
    if (below(10) < 3)
        return {};
    if (oneIn(kRarity * 7 / 10))
        return kRareArea + digits(7);
    const QString area = pick(areaCodes());
    return area + QLatin1Char('-') + digits(area.size() == 3 ? 8 : 7);
}

QString TVisitorGenerator::address()
{
    const Province& p = provinces()[static_cast<std::size_t>(below(static_cast<int>(provinces().size())))];
    QString city = pick(p.cities);
    QString province = p.name;
    if (oneIn(kRarity)) {
        province = QStringLiteral("新疆维吾尔自治区");
        city = kRareCity;
    }
    QString result =
        province + city + pick(districts()) + pick(roads()) + QString::number(1 + below(399)) + QStringLiteral("号");
    if (below(4) == 0)
        result += QString::number(1 + below(30)) + QStringLiteral("栋") + QString::number(101 + below(2000))
                  + QStringLiteral("室");
    return result;
}

QString TVisitorGenerator::remarks()
{
    if (oneIn(kRarity))
        return kRareRemark + QStringLiteral("一件\n") + pick(remarkLines());
    if (below(100) >= 12)
        return {};
    QString text = pick(remarkLines());
    // About four in ten remarks run over several lines.
    const int more = below(10) < 4 ? 1 + below(2) : 0;
    for (int i = 0; i < more; ++i)
        text += QLatin1Char('\n') + pick(remarkLines());
    return text;
}

QStringList TVisitorGenerator::Next(std::int64_t index, std::int64_t total)
{
    // Ten years of visits, spread evenly in entry order with some jitter.
    static const QDateTime start(QDate(2016, 3, 1), QTime(8, 0, 0));
    const qint64 span = 10LL * 365 * 24 * 3600;
    const qint64 at = total > 0 ? span * index / total : 0;
    const QDateTime arrival = start.addSecs(at + below(600));
    const QDateTime departure = arrival.addSecs(60LL * (5 + below(240)));
    const bool left = below(10) != 0;

    // A skewed category mix: most visitors are of the first kinds.
    const QStringList& categories = DefaultCategories();
    const int c = std::min(below(static_cast<int>(categories.size())), below(static_cast<int>(categories.size()) + 2));
    const QString category = categories[std::min(c, static_cast<int>(categories.size()) - 1)];

    QStringList v;
    v.reserve(11);
    v << category << name() << identityNumber() << mobile() << telephone()
      << (oneIn(kRarity) ? kRareReason : pick(reasons())) << address() << clockText(arrival)
      << (left ? clockText(departure) : QString()) << remarks() << clockText(left ? departure : arrival);
    return v;
}

const std::vector<TRareKeyword>& RareKeywords()
{
    static const std::vector<TRareKeyword> list = {
        {QStringLiteral("姓名"), kRareSurname},       {QStringLiteral("身份证"), kRareRegion},
        {QStringLiteral("手机"), kRareMobile},        {QStringLiteral("电话"), kRareArea},
        {QStringLiteral("地址"), kRareCity.left(3)},  {QStringLiteral("来由"), kRareReason},
        {QStringLiteral("备注"), kRareRemark.mid(2)},
    };
    return list;
}

QString MissingKeyword() { return QStringLiteral("无此访客"); }

QString FilterCategory() { return QStringLiteral("QQ帐号"); }

QChar IdentityCheckDigit(const QString& first17) { return IdentityCheckCharacter(first17); }

bool IsValidIdentityNumber(const QString& number)
{
    if (number.size() != 18)
        return false;
    for (int i = 0; i < 17; ++i)
        if (!number[i].isDigit() || number[i].unicode() > u'9')
            return false;
    return number[17] == IdentityCheckDigit(number.left(17));
}

QString GenerateRegister(const QString& folder, std::int64_t rows, std::uint64_t seed)
{
    QDir().mkpath(folder);
    try {
        CreateRegisterFile(folder, QStringLiteral("admin1"), true);
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    QString error;
    const QString path = QDir(folder).filePath(QString::fromLatin1(kRegisterFileName));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = fail(db);
        sqlite3_close(db);
        return error;
    }
    try {
        KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
        // Only this handle writes: a large page cache keeps the index pages in
        // memory, and the file is synced once at the end.
        if (!(exec(db, "PRAGMA cache_size = -262144;") && exec(db, "PRAGMA synchronous = OFF;")))
            error = fail(db);
        TVisitorGenerator generator(seed);
        SqliteStatement insert(
            db, QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) VALUES "
                               "(?,?,?,?,?,?,?,?,?,?,?)"));
        constexpr std::int64_t kBatch = 50000;
        for (std::int64_t i = 0; error.isEmpty() && i < rows; ++i) {
            if (i % kBatch == 0 && !exec(db, "BEGIN;"))
                error = fail(db);
            insert.reset();
            insert.bindTexts(generator.Next(i, rows));
            insert.step();
            if ((i % kBatch == kBatch - 1 || i == rows - 1) && !exec(db, "COMMIT;"))
                error = fail(db);
        }
        // The rows went in past the program's writes: its day index is made
        // anew from them.
        if (error.isEmpty() && exec(db, "BEGIN;")) {
            CreateDayIndex(db);
            if (!exec(db, "COMMIT;"))
                error = fail(db);
        }
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (error.isEmpty() && !exec(db, "PRAGMA synchronous = FULL; BEGIN; COMMIT;"))
        error = fail(db);
    sqlite3_close(db);
    return error;
}

QString WritePlainCopy(const QString& folder, const QString& plainPath)
{
    QFile::remove(plainPath);
    const QString path = QDir(folder).filePath(QString::fromLatin1(kRegisterFileName));
    sqlite3* db = nullptr;
    QString error;
    // Attached files take the main file's flags: the copy must be creatable.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        error = fail(db);
    try {
        if (error.isEmpty()) {
            KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
            SqliteStatement attach(db, QStringLiteral("ATTACH DATABASE ? AS plain KEY ''"));
            attach.bindTexts({plainPath});
            attach.step();
        }
        if (error.isEmpty()
            && !exec(db, "PRAGMA plain.synchronous = OFF;"
                         "CREATE TABLE plain.data (编号 INTEGER PRIMARY KEY AUTOINCREMENT,"
                         " 分类 TEXT, 姓名 TEXT, 身份证 TEXT, 手机 TEXT, 电话 TEXT, 来由 TEXT,"
                         " 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);"
                         "INSERT INTO plain.data SELECT * FROM main.data ORDER BY 编号;"
                         "DETACH DATABASE plain;"))
            error = fail(db);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    sqlite3_close(db);
    return error;
}
