// HTML read into documents: the tree the repairs give, saved as XHTML that reads back as XML to
// the same tree.
#include "DomTestUtil.h"

using namespace domtest;

namespace {

void ignore(const EKError&, void*) {}

EKPtr<EKDocument> loadHtml(const std::string& html) {
  EKPtr<EKDocument> doc(new EKDocument());
  EKXmlParser* parser = doc->getParser();
  parser->setParserType(EKN_html, EKN_html);
  parser->setCallbackError(ignore, nullptr);
  std::istringstream in(html);
  doc->load(in, nullptr, u("page.html"));
  return doc;
}

const std::string XHTML = "{http://www.w3.org/1999/xhtml}";

std::string withoutXhtml(std::string text) {
  for (size_t at; (at = text.find(XHTML)) != std::string::npos;)
    text.erase(at, XHTML.size());
  return text;
}

TEST(HtmlDocument, LoadsRepairedAndSavesAsXhtml) {
  const struct {
    std::string html;
    std::string tree;
  } rows[] = {
      {"<!DOCTYPE html><title>T</title><p>a<br>b<p>c &amp; d",
       "html(head(title(\"T\"))body(p(\"a\"br()\"b\")p(\"c & d\")))"},
      {"<html><body><ul><li>one<li>two</ul><table><tr><td>1<td>2</table></body></html>",
       "html(body(ul(li(\"one\")li(\"two\"))table(tr(td(\"1\")td(\"2\")))))"},
      {"<html><script>if (a<b) document.write('</p>');</script><div>x</span>y</div>",
       "html(head(script(\"if (a<b) document.write('</p>');\"))"
       "body(div(\"x\"span()\"y\")))"},
      {"<html><body><input disabled value=a&b><svg viewBox='0 0 1 1'><circle r=1 /></svg>",
       "html(body(input[disabled= value=a&b]()"
       "{http://www.w3.org/2000/svg}svg[viewbox=0 0 1 1]({http://www.w3.org/2000/svg}circle[r=1]())))"},
  };
  for (const auto& row : rows) {
    EKPtr<EKDocument> doc = loadHtml(row.html);
    ASSERT_NE(doc->getDocumentElement(), nullptr) << row.html;
    EXPECT_EQ(withoutXhtml(tree(doc->getDocumentElement())), row.tree) << row.html;
    const UnicodeString saved = doc->saveXml();
    EKPtr<EKDocument> reread(new EKDocument());
    reread->loadXml(saved);
    EXPECT_EQ(utf8(reread->saveXml()), utf8(saved));
  }
}

TEST(HtmlDocument, AttributeNamesXmlCannotWriteAreLeftOutOfTheSavedForm) {
  EKPtr<EKDocument> doc = loadHtml("<html><p @click=go :class=x v-on:y=z 1a=2 id=k>t</p></html>");
  EXPECT_EQ(withoutXhtml(tree(doc->getDocumentElement())),
            "html(body(p[@click=go :class=x v-on:y=z 1a=2 id=k](\"t\")))");
  EKPtr<EKDocument> reread(new EKDocument());
  reread->loadXml(doc->saveXml());
  EXPECT_EQ(withoutXhtml(tree(reread->getDocumentElement())),
            "html[xmlns=http://www.w3.org/1999/xhtml](body(p[xmlns:v-on=v-on v-on:y=z id=k](\"t\")))");
}

TEST(HtmlDocument, ContentAfterTheRootElement) {
  EKPtr<EKDocument> doc = loadHtml("<html><body>a</body></html>\n<p>late</p>");
  ASSERT_NE(doc->getDocumentElement(), nullptr);
  // What follows the end of the root element goes inside it.
  EXPECT_EQ(withoutXhtml(tree(doc->getDocumentElement())), "html(body(\"a\")\"\n\"body(p(\"late\")))");
}

} // namespace
