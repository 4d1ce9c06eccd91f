#include "core/shop/ascii_text.h"

#include <QHash>
#include <QStringList>

namespace shop {

namespace {

// The words of Chinese member names, project names and bar notes: numbers,
// buildings and floors, sides and spans, members, bars. One entry a
// character: the character, then its syllable without tone.
const QHash<char16_t, QByteArray>& pinyinTable() {
    static const QHash<char16_t, QByteArray> table = [] {
        const QString words = QStringLiteral(
            // numbers
            "零ling 一yi 二er 三san 四si 五wu 六liu 七qi 八ba 九jiu 十shi 百bai 千qian "
            "万wan 两liang 半ban 第di "
            // buildings, floors, places
            "号hao 楼lou 层ceng 栋dong 幢zhuang 座zuo 区qu 段duan 期qi 地di 下xia 上shang "
            "顶ding 底di 屋wu 面mian 室shi 库ku 车che 房fang 坡po 道dao 桥qiao 台tai 池chi "
            "井jing 塔ta 厂chang 站zhan 馆guan 院yuan 裙qun 主zhu 附fu 工gong 程cheng "
            "项xiang 目mu 宅zhai 办ban 公gong 商shang 业ye 学xue 校xiao 医yi 城cheng "
            "园yuan 小xiao 大da 新xin 村cun 街jie 路lu 广guang 场chang 中zhong 心xin "
            "东dong 南nan 西xi 北bei 左zuo 右you 前qian 后hou 内nei 外wai 边bian 角jiao "
            "侧ce 端duan 跨kua 轴zhou 线xian 高gao 低di 标biao 准zhun 阳yang 窗chuang "
            "门men 洞dong 檐yan 女nv 儿er "
            // members
            "梁liang 柱zhu 板ban 墙qiang 基ji 础chu 承cheng 桩zhuang 框kuang 架jia "
            "剪jian 力li 暗an 连lian 过guo 圈quan 构gou 造zao 梯ti 踏ta 步bu 平ping "
            "悬xuan 挑tiao 次ci 筏fa 独du 立li 条tiao 形xing 杯bei 口kou 帽mao 翼yi "
            "缘yuan 肋lei 芯xin 托tuo 牛niu 腿tui 挡dang 土tu 壁bi 人ren 防fang "
            "电dian 水shui 管guan 沟gou 盖gai "
            // bars
            "钢gang 筋jin 箍gu 拉la 腰yao 纵zong 通tong 长chang 负fu 弯wan 起qi 吊diao "
            "加jia 强qiang 分fen 布bu 插cha 拐guai 撑cheng 马ma 凳deng 直zhi 圆yuan "
            "螺luo 旋xuan 搭da 接jie 锚mao 固gu 短duan 受shou 扭niu "
            // the rest of a note
            "料liao 单dan 型xing 式shi 件jian 配pei 图tu 纸zhi 施shi 版ban 改gai 备bei 注zhu 其qi "
            "它ta 他ta 和he 及ji 与yu 的de 个ge 根gen 排pai 部bu 位wei 处chu 用yong "
            "无wu 有you 共gong 计ji 总zong 合he");
        QHash<char16_t, QByteArray> t;
        for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            QByteArray syllable = word.mid(1).toLatin1();
            syllable[0] = char(syllable[0] - 'a' + 'A');
            t.insert(word[0].unicode(), syllable);
        }
        return t;
    }();
    return table;
}

// Punctuation and signs without a compatibility form of their own.
char signInAscii(char16_t c) {
    switch (c) {
    case u'×':
        return 'x';
    case u'·':
    case u'。':
        return '.';
    case u'、':
        return ',';
    case u'—':
    case u'–':
    case u'－':
        return '-';
    case u'‘':
    case u'’':
        return '\'';
    case u'“':
    case u'”':
        return '"';
    default:
        return 0;
    }
}

} // namespace

AsciiText asciiText(const QString& text, NonAsciiText mode) {
    // Compatibility forms first: full-width letters, digits and brackets,
    // circled numbers and accented letters come apart into ASCII and marks.
    const QString folded = text.normalized(QString::NormalizationForm_KD);
    AsciiText out;
    out.changed = folded != text;
    bool dropping = false;
    for (const QChar c : folded) {
        const char16_t u = c.unicode();
        if (c.category() == QChar::Mark_NonSpacing) {
            out.changed = true;
            continue;
        }
        char ascii = 0;
        if (u == u'\n' || u == u'\r' || u == u'\t')
            ascii = ' ';
        else if (u >= 0x20 && u < 0x7F && u != u'@')
            ascii = char(u);
        else if ((ascii = signInAscii(u)))
            out.changed = true;
        if (ascii) {
            out.text += ascii;
            dropping = false;
            continue;
        }
        out.changed = true;
        if (mode == NonAsciiText::Pinyin) {
            const auto syllable = pinyinTable().constFind(u);
            if (syllable != pinyinTable().constEnd()) {
                out.text += *syllable;
                dropping = false;
                continue;
            }
        }
        // A character outside the table, or half of a surrogate pair: one
        // marker for the whole run.
        if (!dropping)
            out.text += kDroppedTextMarker;
        dropping = true;
    }
    out.text = out.text.trimmed();
    return out;
}

} // namespace shop
