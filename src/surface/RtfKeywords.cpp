#include "surface/RtfKeywords.h"

#include <algorithm>
#include <iterator>

namespace qor::rtf {
namespace {

// Sorted by name for the binary search in FindKeyword.
constexpr Keyword kKeywords[] = {
    {"aenddoc", Kw::Ignore}, {"af", Kw::Ignore}, {"afs", Kw::Ignore},
    {"aftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest}, {"aftnsepc", Kw::SkipDest},
    {"alang", Kw::Ignore}, {"annotation", Kw::SkipDest}, {"ansi", Kw::Ansi},
    {"ansicpg", Kw::AnsiCpg}, {"atnauthor", Kw::SkipDest}, {"atndate", Kw::SkipDest},
    {"atnid", Kw::SkipDest}, {"atnref", Kw::SkipDest}, {"author", Kw::SkipDest},
    {"b", Kw::B}, {"background", Kw::SkipDest}, {"bin", Kw::Bin},
    {"bkmkend", Kw::SkipDest}, {"bkmkstart", Kw::SkipDest}, {"blue", Kw::Blue},
    {"bullet", Kw::Char, u'\u2022'}, {"cell", Kw::Cell}, {"cf", Kw::Cf},
    {"colortbl", Kw::ColorTbl}, {"comment", Kw::SkipDest}, {"cpg", Kw::Cpg},
    {"datafield", Kw::SkipDest}, {"dbch", Kw::Ignore}, {"deff", Kw::Deff},
    {"deflang", Kw::Ignore}, {"deflangfe", Kw::Ignore}, {"do", Kw::SkipDest},
    {"doccomm", Kw::SkipDest}, {"emdash", Kw::Char, u'\u2014'}, {"emspace", Kw::Char, u'\u2003'},
    {"endash", Kw::Char, u'\u2013'}, {"enspace", Kw::Char, u'\u2002'}, {"f", Kw::F},
    {"falt", Kw::SkipDest}, {"fbidi", Kw::Ignore}, {"fcharset", Kw::FCharset},
    {"fdecor", Kw::Ignore}, {"fi", Kw::Fi}, {"field", Kw::Ignore}, {"fldinst", Kw::SkipDest}, {"fldrslt", Kw::Ignore},
    {"fmodern", Kw::Ignore}, {"fnil", Kw::Ignore}, {"fonttbl", Kw::FontTbl},
    {"footer", Kw::SkipDest}, {"footerf", Kw::SkipDest}, {"footerl", Kw::SkipDest},
    {"footerr", Kw::SkipDest}, {"footnote", Kw::SkipDest}, {"fprq", Kw::Ignore},
    {"froman", Kw::Ignore}, {"fs", Kw::Fs}, {"fscript", Kw::Ignore},
    {"fswiss", Kw::Ignore}, {"ftech", Kw::Ignore}, {"ftncn", Kw::SkipDest},
    {"ftnsep", Kw::SkipDest}, {"ftnsepc", Kw::SkipDest}, {"generator", Kw::SkipDest},
    {"green", Kw::Green}, {"header", Kw::SkipDest}, {"headerf", Kw::SkipDest},
    {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest}, {"hich", Kw::Ignore},
    {"i", Kw::I}, {"info", Kw::SkipDest}, {"keep", Kw::Ignore}, {"keepn", Kw::Ignore},
    {"keywords", Kw::SkipDest}, {"lang", Kw::Ignore}, {"langfe", Kw::Ignore},
    {"langfenp", Kw::Ignore}, {"langnp", Kw::Ignore}, {"latentstyles", Kw::SkipDest},
    {"ldblquote", Kw::Char, u'\u201C'}, {"li", Kw::Li}, {"lin", Kw::Li},
    {"line", Kw::Line}, {"listoverridetable", Kw::SkipDest}, {"listtable", Kw::SkipDest},
    {"loch", Kw::Ignore}, {"lquote", Kw::Char, u'\u2018'}, {"ltrch", Kw::Ignore},
    {"ltrmark", Kw::Char, u'\u200E'}, {"ltrpar", Kw::Ignore}, {"mac", Kw::Mac},
    {"margb", Kw::Ignore}, {"margl", Kw::Ignore}, {"margr", Kw::Ignore},
    {"margt", Kw::Ignore}, {"nestcell", Kw::Cell}, {"nestrow", Kw::Par},
    {"nonshppict", Kw::SkipDest}, {"nouicompat", Kw::Ignore}, {"nowidctlpar", Kw::Ignore},
    {"objclass", Kw::SkipDest}, {"objdata", Kw::SkipDest}, {"objname", Kw::SkipDest},
    {"operator", Kw::SkipDest}, {"page", Kw::Page}, {"paperh", Kw::Ignore},
    {"paperw", Kw::Ignore}, {"par", Kw::Par}, {"pard", Kw::Pard}, {"pc", Kw::Pc},
    {"pca", Kw::Pca}, {"pgdsctbl", Kw::SkipDest}, {"pict", Kw::SkipDest},
    {"plain", Kw::Plain}, {"pn", Kw::SkipDest}, {"private", Kw::SkipDest},
    {"qc", Kw::Qc}, {"qd", Kw::Qj}, {"qj", Kw::Qj}, {"ql", Kw::Ql}, {"qmspace", Kw::Char, u'\u2005'},
    {"qr", Kw::Qr}, {"rdblquote", Kw::Char, u'\u201D'}, {"red", Kw::Red},
    {"revtbl", Kw::SkipDest}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"row", Kw::Par},
    {"rquote", Kw::Char, u'\u2019'}, {"rsidtbl", Kw::SkipDest}, {"rtf", Kw::Rtf},
    {"rtlch", Kw::Ignore}, {"rtlmark", Kw::Char, u'\u200F'}, {"rtlpar", Kw::Ignore},
    {"s", Kw::Ignore}, {"sa", Kw::Sa}, {"sb", Kw::Sb}, {"sect", Kw::Par},
    {"sectd", Kw::Ignore}, {"shpinst", Kw::SkipDest}, {"shppict", Kw::SkipDest},
    {"sl", Kw::Sl}, {"slmult", Kw::SlMult}, {"strike", Kw::Strike}, {"striked", Kw::Strike},
    {"stylesheet", Kw::SkipDest}, {"subject", Kw::SkipDest}, {"tab", Kw::Tab},
    {"tc", Kw::SkipDest}, {"template", Kw::SkipDest}, {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest}, {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"tqr", Kw::Tqr},
    {"tx", Kw::Tx}, {"txe", Kw::SkipDest}, {"u", Kw::U}, {"uc", Kw::Uc}, {"ul", Kw::Ul},
    {"uld", Kw::Ul}, {"uldash", Kw::Ul}, {"uldashd", Kw::Ul}, {"uldashdd", Kw::Ul},
    {"uldb", Kw::Ul}, {"ulhwave", Kw::Ul}, {"ulnone", Kw::UlNone}, {"ulth", Kw::Ul},
    {"ulw", Kw::Ul}, {"ulwave", Kw::Ul}, {"userprops", Kw::SkipDest}, {"v", Kw::V},
    {"viewkind", Kw::Ignore}, {"widctlpar", Kw::Ignore}, {"xe", Kw::SkipDest},
    {"xmlnstbl", Kw::SkipDest}, {"zwbo", Kw::Char, u'\u200B'}, {"zwj", Kw::Char, u'\u200D'},
    {"zwnbo", Kw::Char, u'\u2060'}, {"zwnj", Kw::Char, u'\u200C'},
};

static_assert(std::ranges::is_sorted(kKeywords, {}, &Keyword::name));

}  // namespace

const Keyword* FindKeyword(std::string_view name) {
    auto it = std::ranges::lower_bound(kKeywords, name, {}, &Keyword::name);
    return it != std::end(kKeywords) && it->name == name ? &*it : nullptr;
}

}  // namespace qor::rtf
