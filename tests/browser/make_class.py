#!/usr/bin/env python3
"""A class of candidates for the demonstration bank, each worked to a known level.

    make_class.py BANKTOOL BANK OUT COUNT

Unpacks every question of BANK into OUT/c01 ... and then does, in each folder, the parts of
the tasks that the candidate's ability reaches: the notice in Word (title corrected, closing
date added, title bold), the table in Excel (each total right, the totals by formula) and
the files (copied, renamed). Strong candidates do more; two parts are done regardless of
ability (every other candidate copies the file; almost everyone renames), so the class report
has a part that does not discriminate and one that is too easy; the formulas are too hard.
Writes OUT/expected.json: per folder the requirements met, in the bank's order.
"""
import json
import os
import shutil
import subprocess
import sys
import zipfile

banktool, bank, out, count = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'
S = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
R = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
PACKAGE_RELS = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                'relationships/officeDocument" Target="{}"/></Relationships>')


def types(*overrides):
    return ('<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>' +
            ''.join(f'<Override PartName="/{p}" ContentType="application/{t}"/>' for p, t in overrides) +
            '</Types>')


def notice(path, title, deadline, bold):
    """The notice as Word saves it: the title a run of its own, bold or not."""
    properties = '<w:rPr><w:b/><w:bCs/></w:rPr>' if bold else ''
    word = '运动会' if title else '运动汇'
    paragraphs = [f'<w:p><w:r>{properties}<w:t>关于举行秋季{word}的通知</w:t></w:r></w:p>',
                  '<w:p><w:r><w:t>各班同学：</w:t></w:r></w:p>',
                  '<w:p><w:r><w:t>学校定于10月25日举行秋季运动会，请各班做好报名和训练准备。</w:t></w:r></w:p>']
    if deadline:
        paragraphs.append('<w:p><w:r><w:t>报名截止时间：10月20日</w:t></w:r></w:p>')
    document = f'<?xml version="1.0" encoding="UTF-8"?><w:document {W}><w:body>{"".join(paragraphs)}</w:body></w:document>'
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', types(('word/document.xml',
                   'vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml')))
        z.writestr('_rels/.rels', PACKAGE_RELS.format('word/document.xml'))
        z.writestr('word/document.xml', document)


def table(path, right, formulas):
    """The table as Excel saves it: names as shared strings, each total right or one off,
    typed in or computed by a formula."""
    people = [('张明', 92, 88, 95), ('李华', 85, 90, 78), ('王芳', 78, 95, 88)]
    strings = ['姓名', '语文', '数学', '英语', '总分'] + [p[0] for p in people]
    rows = ['<row r="1">' + ''.join(f'<c r="{c}1" t="s"><v>{i}</v></c>' for i, c in enumerate('ABCDE')) + '</row>']
    for n, (name, a, b, c) in enumerate(people):
        r = n + 2
        total = a + b + c if right[n] else a + b + c + 1
        formula = f'<f>SUM(B{r}:D{r})</f>' if formulas else ''
        rows.append(f'<row r="{r}"><c r="A{r}" t="s"><v>{5 + n}</v></c><c r="B{r}"><v>{a}</v></c>'
                    f'<c r="C{r}"><v>{b}</v></c><c r="D{r}"><v>{c}</v></c><c r="E{r}">{formula}<v>{total}</v></c></row>')
    shared = f'<sst {S}>' + ''.join(f'<si><t>{s}</t></si>' for s in strings) + '</sst>'
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', types(
            ('xl/workbook.xml', 'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml'),
            ('xl/worksheets/sheet1.xml', 'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml'),
            ('xl/sharedStrings.xml', 'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml')))
        z.writestr('_rels/.rels', PACKAGE_RELS.format('xl/workbook.xml'))
        z.writestr('xl/workbook.xml', f'<workbook {S} {R}><sheets><sheet name="成绩表" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr('xl/_rels/workbook.xml.rels',
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
                   '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
                   '</Relationships>')
        z.writestr('xl/worksheets/sheet1.xml', f'<worksheet {S}><sheetData>{"".join(rows)}</sheetData></worksheet>')
        z.writestr('xl/sharedStrings.xml', shared)


dump = json.loads(subprocess.run([banktool, 'dump', bank], capture_output=True, check=True).stdout)
questions = [q for g in dump['groups'] for q in g['questions'] if q['requirements']]
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
expected = {}
for k in range(count):
    folder = os.path.join(out, f'c{k + 1:02d}')
    for q in questions:
        subprocess.run([banktool, 'unpack', bank, str(q['id']), folder], capture_output=True, check=True)
    ability = k / (count - 1)
    # The parts each candidate does: by ability, except copying (every other candidate) and
    # renaming (all but the first two).
    title, deadline, bold = ability > 0.15, ability > 0.35, ability > 0.55
    right = [ability > 0.25, ability > 0.45, ability > 0.65]
    formulas = ability > 0.85
    copied, renamed = k % 2 == 0, k >= 2
    notice(os.path.join(folder, '通知.docx'), title, deadline, bold)
    table(os.path.join(folder, '成绩表.xlsx'), right, formulas)
    if copied:
        os.makedirs(os.path.join(folder, '作业'), exist_ok=True)
        shutil.copy(os.path.join(folder, '资料', '说明.txt'), os.path.join(folder, '作业', '说明.txt'))
    if renamed:
        os.rename(os.path.join(folder, '草稿.txt'), os.path.join(folder, '定稿.txt'))
    expected[folder] = [[title, deadline, bold], right + [formulas], [copied, renamed]]
json.dump({'questions': [q['id'] for q in questions],
           'scores': [[r['score'] for r in q['requirements']] for q in questions],
           'met': expected}, open(os.path.join(out, 'expected.json'), 'w'), ensure_ascii=False)
