-- An inlet name that begins with no type letter.
-- expect: S07
-- level: 2
-- text: X1
UPDATE tbl_rvldaten SET zulauf1 = 'X1' WHERE bez = 'G2';
