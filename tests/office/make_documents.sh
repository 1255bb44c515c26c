#!/usr/bin/env bash
# Makes the candidate documents of the Office grading tests with a real office suite: flat
# OpenDocument files and a CSV written here, converted by LibreOffice (headless) to .docx,
# .xlsx and .pptx in OUT, as a candidate's Word, Excel and PowerPoint would save them.
#   make_documents.sh OUT
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ns='xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
  xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
  xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
  xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
  xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
  xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
  xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" office:version="1.2"'

# notice: the title in bold (notice_bold) or not (notice_plain), a tab, a line break, an
# entity, a header and a footer
notice() {  # NAME TITLE-STYLE
  cat >"$work/$1.fodt" <<FODT
<?xml version="1.0" encoding="UTF-8"?>
<office:document $ns office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles>
<style:style style:name="B" style:family="text"><style:text-properties fo:font-weight="$2" style:font-weight-asian="$2"/></style:style>
<style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm"/><style:header-style/><style:footer-style/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">
<style:header><text:p>页眉文字</text:p></style:header><style:footer><text:p>页脚文字</text:p></style:footer>
</style:master-page></office:master-styles>
<office:body><office:text>
<text:p><text:span text:style-name="B">关于举行秋季运动会的通知</text:span></text:p>
<text:p>各班同学：<text:tab/>请准时参加。<text:line-break/>报名截止时间：10月20日 A&amp;B</text:p>
<text:p>学校体育组</text:p>
</office:text></office:body></office:document>
FODT
}
notice notice_bold bold
notice notice_plain normal

# table: totals by formula for two rows, typed for the third
printf '姓名,语文,数学,英语,总分\n张明,92,88,95,=SUM(B2:D2)\n李华,85,90,78,=B3+C3+D3\n王芳,78,95,88,261\n' \
  >"$work/table.csv"

# slides: a title slide and one of two paragraphs, the first with a line break
cat >"$work/slides.fodp" <<FODP
<?xml version="1.0" encoding="UTF-8"?>
<office:document $ns office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:body><office:presentation>
<draw:page draw:name="p1"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>我的家乡</text:p></draw:text-box></draw:frame></draw:page>
<draw:page draw:name="p2"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" svg:height="5cm"><draw:text-box><text:p>第一行<text:line-break/>第二行</text:p><text:p>风景</text:p></draw:text-box></draw:frame></draw:page>
</office:presentation></office:body></office:document>
FODP

# A profile of its own, so that no other LibreOffice running on the machine is asked.
office() {  # FORMAT [INFILTER] FILE...
  local format=$1; shift
  soffice -env:UserInstallation="file://$work/profile" --headless "$@" --convert-to "$format" \
    --outdir "$out" "${files[@]}" \
    >"$work/soffice.log" 2>&1 || { cat "$work/soffice.log" >&2; exit 1; }
}
files=("$work/notice_bold.fodt" "$work/notice_plain.fodt"); office docx
files=("$work/table.csv"); office xlsx --infilter="CSV:44,34,76,1"
files=("$work/slides.fodp"); office pptx
for f in notice_bold.docx notice_plain.docx table.xlsx slides.pptx; do
  [ -s "$out/$f" ] || { echo "LibreOffice wrote no $f" >&2; exit 1; }
done
