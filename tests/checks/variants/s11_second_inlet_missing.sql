-- The second inlet of the confluence is no element.
-- expect: S11
-- level: 2
-- text: 2. Zulaufelement
UPDATE tbl_rvldaten SET zulauf2 = 'G99' WHERE bez = 'Z1';
