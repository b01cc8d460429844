#!/usr/bin/env python3
"""The stocked-ring library from the MAS database.

  mas_library.py take MASDIR [DATADIR]   copy from a MAS release (its data/ folder with
                                         core_shapes.ndjson, cores_stock.ndjson and
                                         core_materials.ndjson) the lines the program uses
                                         into DATADIR (default data/mas): every stocked
                                         toroid in a ferrite grade, its shape and its grade,
                                         each line byte for byte.
  mas_library.py build DATADIR OUT.cpp   turn those lines, with the corrections of
                                         DATADIR/corrections.csv, into the program's own
                                         table (run by the build).

The corrections are the one place where the database is overruled; each row says why.
A correction that no longer applies (its grade gone, or a donor curve that no longer
matches the maker's figure it cites) stops the build, so a new release is checked the
same way as this one.
"""
import csv
import json
import math
import os
import shutil
import sys

FILES = ('core_shapes.ndjson', 'cores_stock.ndjson', 'core_materials.ndjson')
OUT_NAMES = ('core_shapes_toroids.ndjson', 'cores_stock_toroids.ndjson', 'core_materials_library.ndjson')
FERRITES = {'MnZn', 'NiZn', 'MgZn'}


def lines_of(path):
    with open(path, encoding='utf-8') as f:
        return [line.rstrip('\n') for line in f if line.strip()]


def name_of(value):
    return value if isinstance(value, str) else value.get('name', '')


def take(mas, data):
    shapes, stock, materials = (lines_of(os.path.join(mas, n)) for n in FILES)
    shape_by = {}
    for line in shapes:
        d = json.loads(line)
        if d.get('family') == 't':
            # Stock lines name a shape by its name or by one of its aliases.
            for name in [d['name']] + d.get('aliases', []):
                shape_by.setdefault(name, line)
    material_by = {json.loads(line)['name']: line for line in materials}
    kept, used_shapes, used_materials = [], [], []
    for line in stock:
        d = json.loads(line)
        fd = d.get('functionalDescription', {})
        shape, grade = name_of(fd.get('shape', '')), name_of(fd.get('material', ''))
        if shape not in shape_by or grade not in material_by:
            continue
        if json.loads(material_by[grade]).get('materialComposition') not in FERRITES:
            continue
        kept.append(line)
        for name, by, used in ((shape, shape_by, used_shapes), (grade, material_by, used_materials)):
            if by[name] not in used:
                used.append(by[name])
    # Donor curves the corrections name come along too.
    for row in corrections(data):
        if row['field'] == 'curve' and row['value'].startswith('from:'):
            donor = row['value'][5:]
            if donor in material_by and material_by[donor] not in used_materials:
                used_materials.append(material_by[donor])
    os.makedirs(data, exist_ok=True)
    for name, rows in zip(OUT_NAMES, (used_shapes, kept, used_materials)):
        with open(os.path.join(data, name), 'w', encoding='utf-8', newline='\n') as f:
            f.write('\n'.join(rows) + '\n')
    for lic in ('LICENSE-0512b02.md', 'LICENSE-Apache-2.0.md'):
        if os.path.exists(os.path.join(mas, lic)):
            shutil.copyfile(os.path.join(mas, lic), os.path.join(data, lic))
    print(f'{len(kept)} stocked rings, {len(used_shapes)} shapes, {len(used_materials)} grades')


def corrections(data):
    path = os.path.join(data, 'corrections.csv')
    if not os.path.exists(path):
        return []
    with open(path, encoding='utf-8') as f:
        return [r for r in csv.DictReader(line for line in f if not line.startswith('#'))]


def curve_at(points, frequency):
    pts = sorted((p['frequency'], p['value']) for p in points)
    for (f0, v0), (f1, v1) in zip(pts, pts[1:]):
        if f0 <= frequency <= f1:
            t = math.log(frequency / f0) / math.log(f1 / f0)
            return v0 + t * (v1 - v0)
    return None


def initial_at_25(entry):
    initial = entry['permeability'].get('initial')
    if isinstance(initial, dict):
        return initial.get('value')
    if isinstance(initial, list):
        near = [p for p in initial if p.get('temperature') is not None]
        if near:
            return min(near, key=lambda p: abs(p['temperature'] - 25))['value']
    return None


def cpp_text(text):
    out = '"'
    for ch in text:
        if ch in '"\\':
            out += '\\' + ch
        elif ch == '\n':
            out += '\\n'
        elif ord(ch) < 0x20:
            out += '\\x%02x' % ord(ch)
        else:
            out += ch
    return out + '"'


def cpp_number(x):
    return repr(float(x))


def fail(why):
    sys.exit('mas_library.py: ' + why)


def build(data, out):
    shapes = {}
    for line in lines_of(os.path.join(data, OUT_NAMES[0])):
        d = json.loads(line)
        for name in [d['name']] + d.get('aliases', []):
            shapes.setdefault(name, d)
    stock = [json.loads(l) for l in lines_of(os.path.join(data, OUT_NAMES[1]))]
    materials = {json.loads(l)['name']: json.loads(l) for l in lines_of(os.path.join(data, OUT_NAMES[2]))}
    notes = {}  # grade -> what was corrected, for the table the help and the command line show
    withheld = {}
    for row in corrections(data):
        grade, field, value = row['grade'], row['field'], row['value']
        if grade not in materials:
            fail(f'corrections.csv names grade {grade}, which the data no longer hold')
        entry = materials[grade]
        if field == 'composition':
            entry['materialComposition'] = value
        elif field == 'curve' and value == 'withheld':
            entry['permeability'].pop('complex', None)
            withheld[grade] = row['reason']
        elif field == 'curve' and value.startswith('from:'):
            donor = materials.get(value[5:])
            if not donor or 'complex' not in donor['permeability']:
                fail(f'corrections.csv takes {grade}\'s curve from {value[5:]}, which has none')
            f, real, imag = (float(x) for x in row['check'].split(':'))
            got = (curve_at(donor['permeability']['complex']['real'], f),
                   curve_at(donor['permeability']['complex']['imaginary'], f))
            if None in got or abs(got[0] - real) > 0.02 * real or abs(got[1] - imag) > 0.02 * imag:
                fail(f'{value[5:]}\'s curve at {f:g} Hz is {got}, not the maker\'s {real}, {imag} for {grade}')
            entry['permeability']['complex'] = json.loads(json.dumps(donor['permeability']['complex']))
        elif field == 'curve' and value == 'sorted':
            cx = entry['permeability'].get('complex')
            if not cx:
                fail(f'corrections.csv sorts {grade}\'s curve, which it does not have')
            for key in ('real', 'imaginary'):
                cx[key] = sorted(cx[key], key=lambda p: p['frequency'])
        else:
            fail(f'corrections.csv: unknown correction {field}={value}')
        notes.setdefault(grade, []).append((field, value, row['reason']))
    # A curve that does not start near the grade's own initial permeability belongs to
    # another grade: withheld, never shown as this one's.
    offered = {name_of(d['functionalDescription']['material']) for d in stock}
    for grade, entry in materials.items():
        if grade not in offered:
            continue
        cx = entry['permeability'].get('complex')
        for key in ('real', 'imaginary') if cx else ():
            f = [p['frequency'] for p in cx[key]]
            if any(b <= a for a, b in zip(f, f[1:])):
                fail(f'{grade}: its {key} curve\'s frequencies do not rise; add a correction')
        mu_i = initial_at_25(entry)
        if cx and mu_i:
            low = sorted((p['frequency'], p['value']) for p in cx['real'])[0][1]
            if abs(low - mu_i) > 0.3 * mu_i:
                fail(f'{grade}: its curve starts at mu\' {low:g}, its initial permeability is {mu_i:g}; '
                     'add a correction')
    rows = []
    for d in stock:
        fd = d['functionalDescription']
        shape = shapes[name_of(fd['shape'])]
        grade = name_of(fd['material'])
        dims = shape['dimensions']

        def dim(k):
            v = dims[k]
            return v['nominal'] if 'nominal' in v else (v['minimum'] + v['maximum']) / 2

        offers = [x for x in d.get('distributorsInfo', []) if isinstance(x.get('cost'), (int, float))]
        best = min(offers, key=lambda x: x['cost']) if offers else None
        info = d['manufacturerInfo']
        part = info.get('reference') or d['name']
        if part.endswith(f' ({grade})'):  # some stock lines repeat the grade after the number
            part = part[:-len(grade) - 3]
        rows.append((part, info['name'], shape['name'], grade,
                     materials[grade]['materialComposition'], dim('A'), dim('B'), dim('C'),
                     best['cost'] if best else -1.0, best.get('updatedAt', '') if best else '',
                     best['name'] if best else '', info.get('datasheetUrl', '')))
    rows.sort(key=lambda r: (r[5], r[6], r[7], r[1], r[0]))
    with open(out, 'w', encoding='utf-8', newline='\n') as f:
        f.write('// Generated at build time by scripts/mas_library.py from data/mas; edit those files.\n')
        f.write('#include "cores/library_data.h"\n\nnamespace vtq::cores {\n\n')
        f.write('const std::vector<StockedRing>& StockedRings() {\n  static const std::vector<StockedRing> rings = {\n')
        for r in rows:
            f.write('      {%s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s},\n' % (
                cpp_text(r[0]), cpp_text(r[1]), cpp_text(r[2]), cpp_text(r[3]), cpp_text(r[4]),
                cpp_number(r[5]), cpp_number(r[6]), cpp_number(r[7]), cpp_number(r[8]), cpp_text(r[9]),
                cpp_text(r[10]), cpp_text(r[11])))
        f.write('  };\n  return rings;\n}\n\n')
        f.write('const std::vector<LibraryGrade>& LibraryGrades() {\n  static const std::vector<LibraryGrade> grades = {\n')
        used = sorted({r[3] for r in rows})
        for g in used:
            e = materials[g]
            has_curve = 'complex' in e['permeability']
            why = withheld.get(g, '' if has_curve else 'The database has no complex-permeability curve for this grade.')
            f.write('      {%s, %s, %s, %s, %s, %s},\n' % (
                cpp_text(g), cpp_text(e['manufacturerInfo']['name']), cpp_text(e['materialComposition']),
                cpp_text(json.dumps(e, ensure_ascii=False, separators=(',', ':'))),
                'true' if has_curve else 'false', cpp_text(why)))
        f.write('  };\n  return grades;\n}\n\n')
        f.write('const std::vector<Correction>& Corrections() {\n  static const std::vector<Correction> rows = {\n')
        for g in sorted(notes):
            for field, value, reason in notes[g]:
                f.write('      {%s, %s, %s, %s},\n' % (cpp_text(g), cpp_text(field), cpp_text(value), cpp_text(reason)))
        f.write('  };\n  return rows;\n}\n\n}  // namespace vtq::cores\n')


def main(argv):
    if len(argv) >= 2 and argv[0] == 'take':
        take(argv[1], argv[2] if len(argv) > 2 else 'data/mas')
    elif len(argv) == 3 and argv[0] == 'build':
        build(argv[1], argv[2])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv[1:])
