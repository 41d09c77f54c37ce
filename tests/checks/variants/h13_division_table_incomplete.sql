-- A division with a second coefficient but no sixth.
-- expect: H13
-- level: 2
UPDATE tbl_rvldaten SET HVE_zeta2 = 0.1 WHERE bez = 'A1';
