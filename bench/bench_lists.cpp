// The list comparison on generated name lists.
//   bench_lists gen DIR [N]            writes DIR/one.txt and DIR/two.txt: N lines each of
//                                      Chinese names of 2-4 characters (fixed seed), 2 % of
//                                      the lines repeating a name of the same list, half of
//                                      the distinct names of each list found in the other
//   bench_lists load FILE              prints "<rows> <seconds>" of loading and numbering a list
//   bench_lists compare ONE TWO [--normalize]
//                                      prints "<dups1> <dups2> <matched> <seconds>" of "核对名单"
//   bench_lists save FILE DB           prints "<rows> <seconds>" of saving the list to the
//                                      register of a new database file DB
#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "core/lists/compare.h"
#include "core/lists/compare_grids.h"
#include "core/lists/list_load.h"
#include "core/lists/register_save.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_set>

using namespace Qt::StringLiterals;
using namespace zorv;

namespace {

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Common characters of Chinese given names and surnames.
const char16_t kPool[] =
    u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏"
    u"吕丁任"
    u"沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武"
    u"戴莫"
    u"孔向汤伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀英华霞平刚桂兰玉萍红建国文辉鹏飞志宇新宁海波春燕晓"
    u"梅雪"
    u"林琳丹云峰浩亮成凤荣俊斌宏鑫颖婷佳欣怡思雨晨阳子涵博文瑞嘉昊天浩然梓轩一诺雅琪可馨若曦紫萱";

int gen(const QString &dir, int n) {
    std::mt19937_64 rng(20261208);
    const QString pool = QString::fromUtf16(kPool);
    auto name = [&] {
        const int r = int(rng() % 10);
        const int len = r == 0 ? 2 : r < 7 ? 3 : 4;
        QString s;
        for (int k = 0; k < len; ++k)
            s += pool[qsizetype(rng() % quint64(pool.size()))];
        return s.toStdString();
    };
    const int dups = n / 50;         // 2 % repeated lines
    const int distinct = n - dups;   // distinct names per list
    const int shared = distinct / 2; // half of them in both lists
    std::unordered_set<std::string> seen;
    std::vector<std::string> names;
    names.reserve(std::size_t(2 * distinct - shared));
    while (names.size() < std::size_t(2 * distinct - shared)) {
        std::string s = name();
        if (seen.insert(s).second)
            names.push_back(std::move(s));
    }
    for (int list = 0; list < 2; ++list) {
        std::vector<std::string> lines(names.begin() + (list ? distinct - shared : 0),
                                       names.begin() + (list ? 2 * distinct - shared : distinct));
        for (int k = 0; k < dups; ++k)
            lines.push_back(lines[std::size_t(rng() % quint64(distinct))]);
        std::shuffle(lines.begin(), lines.end(), rng);
        std::string text;
        for (const std::string &l : lines)
            text += l + '\n';
        QFile f(dir + (list ? u"/two.txt"_s : u"/one.txt"_s));
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(text.data(), qint64(text.size())) != qint64(text.size()))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.size() >= 2 && a[0] == u"gen")
        return gen(a[1], a.size() > 2 ? a[2].toInt() : 1000000);
    if (a.size() == 2 && a[0] == u"load") {
        auto list = lists::makeListGrid(1);
        list->setRedraw(false);
        const auto t = std::chrono::steady_clock::now();
        lists::loadTextList(*list, a[1]);
        lists::numberList(*list);
        std::printf("%lld %.3f\n", list->rowCount(), since(t));
        return 0;
    }
    if (a.size() >= 3 && a[0] == u"compare") {
        auto l1 = lists::makeListGrid(1), l2 = lists::makeListGrid(2);
        auto d1 = lists::makeDuplicateGrid(1), d2 = lists::makeDuplicateGrid(2);
        for (Grid *g : {l1.get(), l2.get(), d1.get(), d2.get()})
            g->setRedraw(false);
        lists::loadTextList(*l1, a[1]);
        lists::loadTextList(*l2, a[2]);
        lists::numberList(*l1);
        lists::numberList(*l2);
        lists::CompareOptions o;
        o.normalize = a.contains(u"--normalize"_s);
        const auto t = std::chrono::steady_clock::now();
        const auto out = lists::compareLists(*l1, *l2, *d1, *d2, o);
        std::printf("%lld %lld %lld %.3f\n", out.duplicates1, out.duplicates2, out.matched,
                    since(t));
        return 0;
    }
    if (a.size() == 3 && a[0] == u"save") {
        auto list = lists::makeListGrid(1);
        list->setRedraw(false);
        lists::loadTextList(*list, a[1]);
        lists::numberList(*list);
        config::RegistryStore store;
        config::regodbc(store, u"zorvbench"_s, a[2], config::odbcDriverFolder());
        db::Transaction tx;
        tx.setDbParm(u"ConnectString='DSN=zorvbench;UID=;PWD='"_s);
        if (tx.connect() != 0)
            return 1;
        const auto t = std::chrono::steady_clock::now();
        const auto out = lists::saveRegisterRows(*list, 1, QDate::currentDate(), tx);
        std::printf("%lld %.3f\n", out.rows, since(t));
        return out.end == lists::SaveEnd::Saved ? 0 : 1;
    }
    std::fprintf(stderr, "usage: bench_lists gen|load|compare|save ...\n");
    return 2;
}
