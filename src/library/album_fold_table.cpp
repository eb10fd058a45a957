// The fold table of album keys: letters with diacritics, hooked, stroked
// and ligature letters and IPA letters, each folded to one ASCII letter or
// the underscore. Characters not listed are kept. Targets are given in lower
// case because keys are lower-cased after folding.
#include "library/album_fold_table.h"

namespace {
constexpr FoldGroup kGroups[] = {
    {u'a', u"ÁĂẮẶẰẲẴǍÂẤẬẦẨẪÄẠÀẢĀĄÅǺÃÆǼáăắặằẳẵǎâấậầẩẫäạàảāąåǻãǽɑɐɒ"},
    {u'b', u"ḄƁʚɞḅɓß"},
    {u'c', u"ĆČÇĈĊƆʗćčçĉɕċ"},
    {u'd', u"ĎḒḌƊḎǲǅĐÐǱǄďḓḍɗḏđɖʤǳʣʥǆð"},
    {u'e', u"ÉĔĚÊẾỆỀỂỄËĖẸÈẺĒĘẼƐƏéĕěêếệềểễëėẹèẻēęẽʒǯʓɘɜɝəɚ"},
    {u'f', u"Ƒƒſʩﬁﬂʃʆʅɟʄ"},
    {u'g', u"ǴĞǦĢĜĠḠʛǵğǧģĝġɠḡɡɣ"},
    {u'h', u"ḪĤḤĦḫĥḥɦẖħɧɥʮʯų"},
    {u'i', u"ÍĬǏÎÏİỊÌỈĪĮĨĲíĭǐîïịìỉīįɨĩɩıĳ"},
    {u'j', u"Ĵǰĵʝȷ"},
    {u'k', u"ĶḲƘḴķḳƙḵĸʞ"},
    {u'l', u"ĹȽĽĻḼḶḸḺĿǈŁǇĺƚɬľļḽḷḹḻŀɫɭłƛɮǉʪʫ"},
    {u'm', u"ḾṀṂḿṁṃɱɯɰ"},
    {u'n', u"ŃŇŅṊṄṆǸƝṈǋÑǊŉńňņṋṅṇǹɲṉɳñǌŋŊ"},
    {u'o', u"ÓŎǑÔỐỘỒỔỖÖỌŐÒỎƠỚỢỜỞỠŌƟǪØǾÕŒɶóŏǒôốộồổỗöọőòỏơớợờởỡōǫøǿõɛɔɵʘœ"},
    {u'p', u"Þɸþ"},
    {u'q', u"ʠ"},
    {u'r', u"ŔŘŖṘṚṜṞʁŕřŗṙṛṝɾṟɼɽɿɹɻɺ"},
    {u's', u"ŚŠŞŜȘṠṢẞśšşŝșṡṣʂ"},
    {u't', u"ŤŢṰȚṬṮŦťţṱțẗṭṯʈŧʨʧʦʇ"},
    {u'u', u"ÚŬǓÛÜǗǙǛǕỤŰÙỦƯỨỰỪỬỮŪŲŮŨʉúŭǔûüǘǚǜǖụűùủưứựừửữūůũʊ"},
    {u'v', u"ʋʌ"},
    {u'w', u"ẂŴẄẀʬẃŵẅẁʍ"},
    {u'y', u"ÝŶŸẎỴỲƳỶȲỸýŷÿẏỵỳƴỷȳỹʎ"},
    {u'z', u"ŹŽŻẒẔƵźžʑżẓẕʐƶ"},
    {u'_', u"ǂʭʔʡʖǁʕǃʢ"},
};
}  // namespace

std::span<const FoldGroup> fold_groups() { return kGroups; }
