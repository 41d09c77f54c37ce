-- An outlet name that begins with no type letter.
-- expect: S08
-- level: 2
-- text: X1
UPDATE tbl_rvldaten SET ablauf1 = 'X1' WHERE bez = 'G2';
